#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively under
# ASan/UBSan, the i686 build (compiled, layouts checked at compile time),
# and the x86_64 build with its Windows tests under Wine on an Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

bash scripts/setup.sh

echo "== native: portable code and its tests (ASan/UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== win32: the i686 build"
cmake --preset win32 >/dev/null
cmake --build --preset win32

echo "== win64: the x86_64 build and its tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
bash scripts/with-wine-display.sh "$PWD/build/win64/wineprefix" ctest --preset win64 "$@"

echo "== all tests passed in $(( $(date +%s) - start )) s"

#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively under
# ASan/UBSan, a short fuzz run of the form reader, and the Windows tests of
# the i686 release build (the one that ships) and of the x86_64 build under
# Wine on an Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

bash scripts/setup.sh

echo "== native: portable code and its tests (ASan/UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzz: the form reading path for ${QS_FUZZ_SECONDS:-60} s (libFuzzer, ASan/UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus  # what the run finds goes here, not into the seeds
if ! build/fuzz/tests/fuzz/form_fuzz -max_total_time="${QS_FUZZ_SECONDS:-60}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/ -print_final_stats=1 build/fuzz/corpus tests/fuzz/corpus demo/project \
    >build/fuzz/run.log 2>&1; then
  tail -n 80 build/fuzz/run.log
  exit 1
fi
tail -n 8 build/fuzz/run.log

# The Windows tests run on both builds, each in a prefix of its own: the
# i686 release build first (the one that ships, under 32-bit Wine), then
# the x86_64 one. Both also build the benchmark programs.
for build in win32 win64; do
  echo "== $build: build and Windows tests under Wine"
  cmake --preset $build >/dev/null
  cmake --build --preset $build
  bash scripts/with-wine-display.sh "$PWD/build/$build/wineprefix" ctest --preset $build "$@"
done

echo "== all tests passed in $(( $(date +%s) - start )) s"

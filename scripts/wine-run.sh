#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine with the given prefix:
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
set -eu
export WINEPREFIX="$1"; shift
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"

#!/usr/bin/env bash
# Runs a command with one Xvfb display and a started Wine prefix:
#   with-wine-display.sh PREFIX COMMAND [ARGS...]
# The prefix is created (or updated) with its output sent to /dev/null first,
# so that Wine's long-lived processes never hold a pipe of the command open.
set -euo pipefail
prefix="$1"; shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

display=""
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "with-wine-display: no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -p "$prefix"
/usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
# The caption buttons' symbol font in the prefix's own font folder, which
# Wine always reads (a font added to Wine's folder after the prefix was made
# may not be seen): Wine's copy, or the one scripts/setup.sh keeps in the cache.
for marlett in /usr/share/wine/fonts/marlett.ttf "${QSEXE_CACHE:-$HOME/.cache/qsexe}/wine-fonts/marlett.ttf"; do
  if [ -f "$marlett" ]; then
    cp -p "$marlett" "$prefix/drive_c/windows/Fonts/marlett.ttf"
    break
  fi
done
# Unmanaged windows and the CJK font fallback (see the .reg file).
/usr/lib/wine/wine64 regedit /S "$(dirname "$0")/wine-settings.reg" </dev/null >/dev/null 2>&1
# A program that crashes ends at once with its backtrace on standard error,
# instead of waiting in the debugger's dialog.
/usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
  </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
  /d 'winedbg --auto %ld %ld' /f </dev/null >/dev/null 2>&1
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
"$@"

#!/usr/bin/env bash
# Builds in release mode and prints the benchmark tables: each figure is
# measured side by side with its floor in the same run on this machine,
# median [min..max] over repetitions.
#   native: form reading and name lookup (Google Benchmark), and callgrind
#           instruction counts of the same work (repeatable);
#   Wine:   time to first window, extraction, form loading, the host's work
#           per message, name lookup (bench/host_bench.cpp), for the i686
#           release build and the x86_64 one;
#   size:   the bare i686 host, a packed demo, the 7-Zip console program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake --preset native-release >/dev/null
cmake --build --preset native-release --target form_bench instruction_probe >/dev/null
echo "== native: form reading and name lookup"
build/native-release/bench/form_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_color=false

echo "== callgrind: instructions of one walk of 1,024 controls and of one lookup"
for fn in 'qs::WalkForm' 'qs::ControlTable::FindControl'; do
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no "--toggle-collect=$fn*" \
    build/native-release/bench/instruction_probe >/dev/null 2>&1
  total=$(callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}')
  calls=1; [ "$fn" = 'qs::ControlTable::FindControl' ] && calls=1000
  echo "  $fn: $(( total / calls )) instructions per call"
  rm -f "$out"
done

# The Wine figures of both builds in one run: the i686 release build (the
# one that ships) and the x86_64 one.
for build in win32 win64-release; do
  cmake --preset $build >/dev/null
  cmake --build --preset $build --target host_bench trivial_window QSExe scriptcore dmstub qspack >/dev/null
  echo "== Wine, $build: the host against its floors"
  bash scripts/with-wine-display.sh "$PWD/build/$build/wineprefix" \
    /usr/lib/wine/wine64 build/$build/bin/host_bench.exe 2>&1 >/dev/null
done

# What ships: the bare i686 host, the demo packed with it, and the 7-Zip
# console program built from the same source for comparison.
echo "== size of the i686 release host"
bin=build/win32/bin
work=build/win32/bench-size
rm -rf "$work" && mkdir -p "$work/project"
cp -r demo/project/. "$work/project/"
[ -f "$work/project/scriptcore.dll" ] || cp "$bin/scriptcore.dll" "$work/project/"
win() { echo "Z:$PWD/$1" | sed 's|/|\\|g'; }
bash scripts/with-wine-display.sh "$PWD/build/win32/wineprefix" \
  /usr/lib/wine/wine64 "$bin/qspack.exe" "$(win "$work/project")" "$(win "$work/demo.exe")" >/dev/null
sevenzip=$(ls "${QSEXE_CACHE:-$HOME/.cache/qsexe}"/7zip-build-*-i686-w64-mingw32/7za.exe | head -n 1)
i686-w64-mingw32-strip -o "$work/7za-stripped.exe" "$sevenzip"
kib() { echo "$(( $(stat -c %s "$1") / 1024 )) KiB"; }
printf '  %-52s %s\n' "QSExe.exe, bare (goal: at most 1,536 KiB)" "$(kib "$bin/QSExe.exe")" \
  "the demo project packed with it" "$(kib "$work/demo.exe")" \
  "7za.exe, the 7-Zip console program of the same source" "$(kib "$sevenzip")" \
  "7za.exe without its symbols" "$(kib "$work/7za-stripped.exe")"

#!/usr/bin/env bash
# Builds in release mode and prints the benchmark tables: each figure is
# measured side by side with its floor in the same run on this machine,
# median [min..max] over repetitions.
#   native: form reading and name lookup (Google Benchmark), and callgrind
#           instruction counts of the same work (repeatable);
#   Wine:   time to first window, extraction, form loading, the host's work
#           per message, name lookup (bench/host_bench.cpp).
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

cmake --preset win64-release >/dev/null
cmake --build --preset win64-release --target host_bench trivial_window QSExe scriptcore dmstub >/dev/null
echo "== Wine: the host against its floors"
bash scripts/with-wine-display.sh "$PWD/build/win64-release/wineprefix" \
  /usr/lib/wine/wine64 build/win64-release/bin/host_bench.exe 2>&1 >/dev/null

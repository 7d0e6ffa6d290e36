#!/usr/bin/env bash
# Builds the host that ships (the i686 release build), packs a project with
# that build's qspack and runs it under 32-bit Wine on an
# Xvfb display, with a short tour by the test driver; the screenshots land
# in build/demo/screenshots. Each shot waits for the window's frame to show
# painted, and the tour fails when the saved picture's title bar is black
# or its caption buttons show letters.
#   bash scripts/demo.sh               the demo project (demo/project, demo/tour.txt)
#   bash scripts/demo.sh PROJECT_DIR   another project: started, photographed, closed
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

project="${1:-demo/project}"
[ -d "$project" ] || { echo "demo: no project folder $project" >&2; exit 2; }
project=$(cd "$project" && pwd)

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target QSExe scriptcore qspack qsdriver

out="$root/build/demo"
rm -rf "$out"
mkdir -p "$out/project" "$out/screenshots"
cp -r "$project"/. "$out/project/"
if [ ! -f "$out/project/scriptcore.dll" ]; then
  cp build/win32/bin/scriptcore.dll "$out/project/"
  echo "demo: the project has no engine; the stand-in scriptcore.dll goes in"
fi
if [ $# -eq 0 ]; then
  cp demo/tour.txt "$out/tour.txt"
else
  printf 'wait 3000\nshot window\nclose\n' > "$out/tour.txt"
fi
name=$(basename "$project")
[ "$name" = project ] && name=demo

win() { echo "Z:$1" | sed 's|/|\\|g'; }
bin="$root/build/win32/bin"
cat > "$out/run.sh" <<RUN
set -e
/usr/lib/wine/wine64 "$bin/qspack.exe" "$(win "$out/project")" "$(win "$out/$name.exe")"
/usr/lib/wine/wine64 "$bin/qsdriver.exe" --timeout 120000 \\
  --env "QSENGINE_LOG=$(win "$out/engine.log")" \\
  --tour "$(win "$out/tour.txt")" --out "$(win "$out/screenshots")" "$(win "$out/$name.exe")"
RUN
echo "demo: packing $project and running it under Wine"
bash scripts/with-wine-display.sh "$root/build/win32/wineprefix" bash "$out/run.sh"
echo "demo: the packed program is $out/$name.exe, the engine's log $out/engine.log"
echo "demo: screenshots:"
ls -1 "$out/screenshots"/*.png | sed 's/^/  /'
if [ $# -eq 0 ]; then
  echo "demo: the README's picture docs/images/demo.png is 2-greeted.png of this tour"
fi

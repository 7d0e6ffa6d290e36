#!/usr/bin/env bash
# Builds 7-Zip's full console bundle ("Alone") for one mingw target into the
# cache folder and packs its objects, without the console's main(), into
# libsevenzip.a (for the tools, which also add), and the extraction part
# alone into libsevenzip-extract.a (for the host). Both are linked whole:
# their format and codec registrations are static objects that nothing
# refers to. Prints the folder. Does nothing when the libraries are there.
#   build-7zip.sh x86_64-w64-mingw32|i686-w64-mingw32
set -euo pipefail
triple="$1"
cache="${QSEXE_CACHE:-$HOME/.cache/qsexe}"
src=$(ls -d "$cache"/7zip-src-*/ 2>/dev/null | head -n 1)
[ -n "$src" ] || { echo "build-7zip: no 7-Zip source in $cache (run scripts/setup.sh)" >&2; exit 1; }
src=${src%/}
ver=${src##*/7zip-src-}
out="$cache/7zip-build-$ver-$triple"
mkdir -p "$out"
exec 9>"$out/.lock"
flock 9
# The console's main program is ours (host/sevenzip_runner.cpp); its resources are not needed.
excluded='MainAr|Main|resource'
if [ ! -f "$out/obj/7za.exe" ]; then
  echo "build-7zip: building 7-Zip $ver for $triple (a few minutes, once)" >&2
  make -s -C "$src/CPP/7zip/Bundles/Alone" -f makefile.gcc -j"$(nproc)" IS_MINGW=1 \
    CC="$triple-gcc-posix" CXX="$triple-g++-posix" RC="$triple-windres" \
    O="$out/obj" >"$out/build.log" 2>&1 || { tail -n 30 "$out/build.log" >&2; exit 1; }
  cp "$out/obj/7za.exe" "$out/7za.exe"
fi
if [ ! -f "$out/libsevenzip.a" ] || [ "$(cat "$out/excluded" 2>/dev/null)" != "$excluded" ]; then
  objs=$(ls "$out"/obj/*.o | grep -vE "/($excluded)\.o$")
  rm -f "$out/libsevenzip.tmp.a"
  "$triple-ar" rcs "$out/libsevenzip.tmp.a" $objs
  mv "$out/libsevenzip.tmp.a" "$out/libsevenzip.a"
  echo "$excluded" > "$out/excluded"
fi
# The host's part: extraction alone (cmake/7zip-extract.mak), built for
# size, packed as libsevenzip-extract.a.
bundle="$src/CPP/7zip/Bundles/QSExtract"
mak="$(cd "$(dirname "$0")/.." && pwd)/cmake/7zip-extract.mak"
if [ ! -f "$out/libsevenzip-extract.a" ] || ! cmp -s "$mak" "$out/extract.mak"; then
  echo "build-7zip: building the extraction part of 7-Zip $ver for $triple" >&2
  mkdir -p "$bundle"
  cp "$mak" "$bundle/makefile.gcc"
  rm -rf "$out/extract"
  make -s -C "$bundle" -f makefile.gcc -j"$(nproc)" IS_MINGW=1 \
    CC="$triple-gcc-posix" CXX="$triple-g++-posix" RC="$triple-windres" \
    O="$out/extract" FLAGS_FLTO="-Os -ffunction-sections -fdata-sections" objects >"$out/extract.log" 2>&1 ||
    { tail -n 30 "$out/extract.log" >&2; exit 1; }
  rm -f "$out/libsevenzip-extract.tmp.a"
  "$triple-ar" rcs "$out/libsevenzip-extract.tmp.a" "$out"/extract/*.o
  mv "$out/libsevenzip-extract.tmp.a" "$out/libsevenzip-extract.a"
  cp "$mak" "$out/extract.mak"
fi
echo "$src" > "$out/source"
echo "$out"

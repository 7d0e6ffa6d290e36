#!/usr/bin/env bash
# Installs what a clean Debian 12 machine needs to build and test QSExe:
# the mingw-w64 cross compilers, Wine (64- and 32-bit) with Xvfb, the native test libraries,
# a CJK font, the 7-Zip source package and Wine's caption symbol font. Quick
# when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev valgrind
  fonts-wqy-microhei
  dpkg-dev xz-utils
)

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

have_deb_src() { grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; }

updated=0
if ! have_deb_src; then
  # Mirror the binary sources as source sources, so that apt-get source works.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" | $SUDO tee "${f%.sources}-src.sources" >/dev/null
  done
  if [ -s /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/qsexe-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
  updated=1
fi

# 32-bit Wine, to run the i686 build (the one that ships) in the 64-bit
# prefix. It also brings a few amd64 libraries to the same versions.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=0  # the new architecture's package lists are not read yet
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  [ $updated = 1 ] || $SUDO apt-get update -qq
  updated=1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "setup: installing wine32:i386"
  [ $updated = 1 ] || $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq wine32:i386 >/dev/null
fi

# Debian's source packages the build compiles (7-Zip for the host's
# packages, Lua for the product engine), each unpacked with Debian's own
# patches (they keep the tree buildable and carry its security fixes) into
# the cache folder outside the checkout, keyed by version.
cache="${QSEXE_CACHE:-$HOME/.cache/qsexe}"
mkdir -p "$cache"
fetch_source() {  # fetch_source PACKAGE CACHE-NAME MARKER
  local package="$1" name="$2" marker="$3"
  ls -d "$cache/$name"-src-*/"$marker" >/dev/null 2>&1 && return 0
  local tmp orig ver dest deb
  tmp=$(mktemp -d "$cache/dl.XXXXXX")
  (cd "$tmp" && apt-get source --download-only -qq "$package" >/dev/null)
  orig=$(ls "$tmp/${package}"_*.orig.tar.* | head -n 1)
  ver=$(basename "$orig" | sed -E "s/^${package}_(.*)\.orig\.tar\..*\$/\1/")
  dest="$cache/$name-src-$ver"
  mkdir -p "$dest"
  tar -xf "$orig" -C "$dest" --strip-components=1
  deb=$(ls "$tmp/${package}"_*.debian.tar.* | head -n 1)
  tar -xf "$deb" -C "$dest"
  if [ -f "$dest/debian/patches/series" ]; then
    while read -r patch; do
      case "$patch" in ''|'#'*) continue ;; esac
      patch -d "$dest" -p1 -s -N < "$dest/debian/patches/$patch" >/dev/null || true
    done < "$dest/debian/patches/series"
  fi
  rm -rf "$tmp"
  echo "setup: $package source $ver in $dest"
}
fetch_source 7zip 7zip CPP
fetch_source lua5.4 lua src/lua.h

# Wine's symbol font for caption buttons (Marlett; without it they show the
# letters 0, 1 and r), taken from Debian's Wine font package into the cache.
# scripts/with-wine-display.sh copies it into each prefix. Installed, the
# package would change the fonts of every Wine prefix on the machine.
fonts="$cache/wine-fonts"
if [ ! -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  tmp=$(mktemp -d "$cache/dl.XXXXXX")
  if ! (cd "$tmp" && apt-get download -qq fonts-wine >/dev/null 2>&1); then
    $SUDO apt-get update -qq
    (cd "$tmp" && apt-get download -qq fonts-wine >/dev/null 2>&1)
  fi
  dpkg-deb -x "$tmp"/fonts-wine_*.deb "$tmp/unpacked"
  mkdir -p "$fonts"
  cp "$tmp/unpacked/usr/share/wine/fonts/marlett.ttf" "$fonts/"
  rm -rf "$tmp"
  echo "setup: Wine's caption symbol font in $fonts"
fi

#!/usr/bin/env bash
# Installs, once per machine and as root, every Debian package the project needs,
# and unpacks Wine's i386 PE DLLs (for running the 32-bit build under wine64 WoW64)
# into a cache folder of the project's own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${MIXARRO_CACHE:-/var/cache/mixarro}
stamp=$cache/packages.v6

packages=(cmake make g++ googletest clang-format
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64
  wine64 xvfb xauth xdotool imagemagick x11-utils
  pev osslsigncode openssl liblnk-utils libbenchmark-dev libimage-exiftool-perl fonts-dejavu-core
  clang libclang-rt-14-dev graphviz)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

mkdir -p "$cache" 2>/dev/null || as_root mkdir -p "$cache"
if [ ! -f "$stamp" ]; then
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -q || true
    as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  touch "$stamp"
fi

# Wine's 32-bit PE DLLs, taken from the libwine:i386 package without installing it.
i386dir=$cache/wine-i386
if [ ! -d "$i386dir/i386-windows" ]; then
  tmp=$(mktemp -d)
  added_i386=0
  # The i386 architecture is added only to download one package: whichever way this ends
  # (a failed download, an error, a signal), it is removed again when this added it.
  drop_i386() {
    if [ "$added_i386" = 1 ]; then
      as_root dpkg --remove-architecture i386 || echo "setup: could not remove the i386 architecture" >&2
      added_i386=0
    fi
  }
  trap 'drop_i386; rm -rf "$tmp"' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    added_i386=1
  fi
  as_root apt-get update -q || true   # the i386 indexes of the mirror may be incomplete
  (cd "$tmp" && apt-get download libwine:i386)
  drop_i386
  dpkg-deb -x "$tmp"/libwine_*_i386.deb "$tmp/x"
  mkdir -p "$i386dir"
  cp -a "$tmp/x/usr/lib/i386-linux-gnu/wine/i386-windows" "$i386dir/"
fi
# In WoW64 mode a 32-bit PE module's Unix library is looked up beside its folder, under the
# host's architecture: without this link the 32-bit programs get no display driver.
ln -sfn /usr/lib/x86_64-linux-gnu/wine/x86_64-unix "$i386dir/x86_64-unix"
echo "setup: packages ready; Wine i386 DLLs in $i386dir"

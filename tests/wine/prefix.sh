#!/usr/bin/env bash
# Wine prefixes for the tests: one template per test run, one throwaway copy per test.
#   prefix.sh template DIR      create the template DIR once (wineboot -i), safe in parallel
#   prefix.sh copy TEMPLATE DIR hard-linked copy with the registry files copied for real
#   prefix.sh winver DIR VERSION  make DIR report that Windows version (winxp, win7, win81, win10, ...)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

case "${1:-}" in
  template)
    dir=$2
    mkdir -p "$(dirname "$dir")"
    exec 9>"$dir.lock"
    flock 9
    if [ ! -f "$dir/.ready" ]; then
      rm -rf "$dir"
      WINEPREFIX=$dir "$WINE" wineboot -i >/dev/null 2>&1 || true
      WINEPREFIX=$dir "$WINESERVER" -w
      [ -f "$dir/system.reg" ] || { echo "prefix.sh: wineboot did not create $dir" >&2; exit 1; }
      # Wine's shell starts winemenubuilder after every shell link it saves and waits for it,
      # even when the DLL overrides disable it: most of the ten milliseconds that a saved link
      # costs. Without its file the start fails at once; the links are saved as before.
      rm -f "$dir/drive_c/windows/system32/winemenubuilder.exe" \
            "$dir/drive_c/windows/syswow64/winemenubuilder.exe"
      touch "$dir/.ready"
    fi
    ;;
  copy)
    src=$2 dst=$3
    rm -rf "$dst"
    cp -al "$src" "$dst"
    # Wine replaces its registry files when it saves them, but copy them for real anyway
    # so that no write can ever reach the template.
    for f in "$dst"/*.reg; do cp --remove-destination "$src/$(basename "$f")" "$f"; done
    ;;
  winver)
    dir=$2 ver=$3
    WINEPREFIX=$dir "$WINE" winecfg -v "$ver" >/dev/null 2>&1
    WINEPREFIX=$dir "$WINESERVER" -w
    ;;
  *) echo "usage: prefix.sh template|copy|winver ..." >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Runs one Windows program under wine64 in a fresh copy of the test run's template prefix,
# waits for every process of that prefix to end, then throws the copy away.
# Used as the cross-compiling emulator, so CTest runs every Windows test through it.
#   MIXARRO_WINE_ROOT   folder for the template and the copies (default: build/wine beside the program)
#   MIXARRO_WINVER      Windows version the copy reports (winecfg name: winxp, win7, win81, win10)
#   MIXARRO_KEEP_PREFIX keep the copy and print its path (debugging)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
prog=$1; shift
root=${MIXARRO_WINE_ROOT:-$(cd "$(dirname "$prog")" && pwd)/wine}
template=$root/template
"$here/prefix.sh" template "$template" || exit 1
copy=$(mktemp -d "$root/run.XXXXXX")
"$here/prefix.sh" copy "$template" "$copy"
export WINEPREFIX=$copy
[ -n "${MIXARRO_WINVER:-}" ] && "$here/prefix.sh" winver "$copy" "$MIXARRO_WINVER"
if [ -z "${DISPLAY:-}" ]; then
  # Every Wine process wants an X display for user32, even with a hidden window.
  exec_x=(xvfb-run -a -s "-screen 0 1280x1024x24")
else
  exec_x=()
fi
"${exec_x[@]}" "$WINE" "$prog" "$@"
rc=$?
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1
if [ -n "${MIXARRO_KEEP_PREFIX:-}" ]; then echo "prefix kept: $copy" >&2; else rm -rf "$copy"; fi
exit $rc

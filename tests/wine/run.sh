#!/usr/bin/env bash
# Runs one Windows program under wine64 in a fresh copy of the test run's template prefix,
# then ends every process of that prefix and throws the copy away (after this run has ended).
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
copy= child=

# However the run ends (the program's exit, an error here, a signal from CTest's time-out),
# the copy's Wine processes, the program and an X server of this run's own end with it.
cleanup() {
  trap - EXIT INT TERM HUP
  [ -n "$child" ] && kill "$child" 2>/dev/null
  if [ -n "$copy" ] && [ -d "$copy" ]; then
    if [ -n "${MIXARRO_KEEP_PREFIX:-}" ]; then
      WINEPREFIX=$copy "$WINESERVER" -k >/dev/null 2>&1
      WINEPREFIX=$copy "$WINESERVER" -w >/dev/null 2>&1
      echo "prefix kept: $copy" >&2
    else
      end_prefix_detached "$copy"
    fi
  fi
  declare -F mixarro_xvfb_stop >/dev/null && mixarro_xvfb_stop
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

"$here/prefix.sh" template "$template" || exit 1
copy=$(mktemp -d "$root/run.XXXXXX") || exit 1
"$here/prefix.sh" copy "$template" "$copy" || exit 1
export WINEPREFIX=$copy
[ -n "${MIXARRO_WINVER:-}" ] && "$here/prefix.sh" winver "$copy" "$MIXARRO_WINVER"
# Every Wine process wants an X display for user32, even with a hidden window.
# xvfb.sh sets an EXIT trap of its own: this run's clean-up (which stops that X server too)
# takes it back.
if [ -z "${DISPLAY:-}" ]; then
  source "$here/xvfb.sh"
  trap cleanup EXIT
fi
# In the background, so that a signal reaches the trap at once instead of after the program.
"$WINE" "$prog" "$@" <&0 &
child=$!
wait "$child"
rc=$?
child=
exit $rc

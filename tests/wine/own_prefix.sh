# Sourced by a check that runs the program in a prefix of its own: a fresh copy of the build
# folder's template (beside `program`, which the caller sets), an X display, and a clean-up on
# exit that ends the prefix's Wine processes and removes it.
#   source own_prefix.sh NAME     (the copy is "<build>/wine/NAME.XXXXXX")
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
unset WINEPREFIX
root=$(dirname "$program")/wine
"$(dirname "${BASH_SOURCE[0]}")/prefix.sh" template "$root/template" || exit 1
WINEPREFIX=$(mktemp -d "$root/$1.XXXXXX")
export WINEPREFIX
# Before the trap below: xvfb.sh sets an EXIT trap of its own when it starts a server.
[ -n "${DISPLAY:-}" ] || source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
cleanup() {
  end_prefix_detached "$WINEPREFIX"
  declare -F mixarro_xvfb_stop >/dev/null && mixarro_xvfb_stop
}
trap cleanup EXIT
"$(dirname "${BASH_SOURCE[0]}")/prefix.sh" copy "$root/template" "$WINEPREFIX" || exit 1

#!/usr/bin/env bash
# Remakes the README's pictures of the window from the real x86-64 Indigo program under Wine
# and an X server: ready to install, installing (the busy button with its step text) and ready
# to remove. Run it whenever the window changes, and commit the PNGs.
#   bash tools/pictures.sh [BUILD_DIR]   (default build/win64; built when missing)
set -uo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$project/build/win64}
bash "$project/tools/setup.sh" || exit 1
if [ ! -f "$build/MixarroSetup-Indigo.exe" ] || [ ! -f "$build/gui_probe.exe" ]; then
  (cd "$project" && cmake --preset win64 >/dev/null && cmake --build --preset win64 -j2 >/dev/null) || exit 1
fi
build=$(cd "$build" && pwd)
# An X server of its own, so that no other window takes the keys.
MIXARRO_OWN_XVFB=1 source "$project/tests/wine/xvfb.sh"
[ -n "${MIXARRO_XVFB_PID:-}" ] || exit 1
here=$project/tests/gui
source "$here/lib.sh"
out=$project/docs
mkdir -p "$out"
program=$build/MixarroSetup-Indigo.exe

# The window's own area, without the frame that Wine draws around it.
window_picture() { import -window "$win" "$1"; }

fresh_prefix
start_window || exit 1
window_picture "$out/window-ready.png"

# The registration program runs five times after the last driver step; 4 s each keep one step
# text on the button long enough for the picture.
export MIXARRO_REGSVR_SLEEP_MS=4000
export MIXARRO_STANDIN_LOG="Z:${work//\//\\}\\standin.log"
key_to_window Escape
wait_exit "ready picture" || exit 1
start_window || exit 1
click_at 700 470
wait_log_line qxregsvr64 60 || { fail "the registration program never ran"; exit 1; }
capture_blink "$out/window-installing.png" "$work/noword.png" || fail "no busy look with \"Installing\""
wait_box "REBOOT YOUR SYSTEM" 120 && dismiss_box "REBOOT YOUR SYSTEM"
wait_exit "install" 30
unset MIXARRO_REGSVR_SLEEP_MS

start_window || exit 1
window_picture "$out/window-remove.png"
key_to_window Escape
wait_exit "remove picture"

[ "$failures" = 0 ] || exit 1
echo "pictures: $out/window-ready.png $out/window-installing.png $out/window-remove.png"

#!/usr/bin/env bash
# The real x86-64 program's window under Wine and an X server: the Ready-to-install look
# read back from a screenshot, a click on the button's border that does nothing, Escape
# that closes with exit code 0. With "shots DIR" it only saves one screenshot per state
# instead, each state in a fresh prefix: ready.png, installing-1.png and installing-2.png
# (two blink ticks, with and without the word "Installing"), remove.png (after a silent
# install, when the product is present).
#   window_gui.sh BUILD_DIR [shots DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mode=${2:-test} shots=${3:-}
# Its own X server: no window of a test running beside it can take the focus or the keys.
MIXARRO_OWN_XVFB=1 source "$here/../wine/xvfb.sh"
[ -n "${MIXARRO_XVFB_PID:-}" ] || exit 1
[ "$mode" = shots ] && shots=$(mkdir -p "$shots" && cd "$shots" && pwd)
source "$here/lib.sh"
program=$build/MixarroSetup-Indigo.exe

if [ "$mode" = shots ]; then
  # Ready to install.
  fresh_prefix
  start_window || exit 1
  shot "$shots/ready.png"
  key_to_window Escape
  wait_exit "ready"
  # Installing: slow registration runs keep the worker on one step while two ticks are taken.
  fresh_prefix
  MIXARRO_REGSVR_SLEEP_MS=4000 MIXARRO_STANDIN_LOG="Z:${work//\//\\}\\standin.log" start_window ||
    exit 1
  click_at 700 470
  wait_log_line qxregsvr64 60 || fail "the registration program never ran"
  # The registration program stand-in is a console program: move its console window off the
  # picture so that the shots show the installer alone.
  for _ in $(seq 1 20); do
    console=$(xdotool search --onlyvisible --name 'qxregsvr64\.exe$' 2>/dev/null | head -1)
    [ -n "$console" ] && xdotool windowmove "$console" 1000 700 && break
    sleep 0.25
  done
  sleep 0.5
  capture_blink "$shots/installing-1.png" "$shots/installing-2.png" || fail "no two blink ticks"
  # Ready to remove: after a silent install the product is present.
  fresh_prefix
  "$WINE" "$program" -h -i || fail "silent install: exit code $?"
  start_window || exit 1
  shot "$shots/remove.png"
  key_to_window Escape
  wait_exit "remove"
  ls -l "$shots"
  exit $((failures > 0))
fi

fresh_prefix
start_window || exit 1
[ "$ww" = 900 ] && [ "$wh" = 524 ] || fail "client area ${ww}x${wh}, expected 900x524"
shot "$work/ready.png"
# The picture, copied 1:1 (away from the label).
convert "$build/resources/Indigo/picture.bmp" "$work/picture.png"
for p in "5 5" "450 60" "899 300" "800 423"; do
  set -- $p
  expect_pixel "$work/ready.png" "$1" "$2" "$(pixel "$work/picture.png" "$1" "$2")" "picture"
done
# The band is white, the button has a black outline and a white face.
expect_pixel "$work/ready.png" 5 430 "#FFFFFF" "band"
expect_pixel "$work/ready.png" 899 523 "#FFFFFF" "band"
expect_pixel "$work/ready.png" 580 470 "#000000" "button outline"
expect_pixel "$work/ready.png" 880 470 "#000000" "button outline"
expect_pixel "$work/ready.png" 700 444 "#000000" "button outline"
expect_pixel "$work/ready.png" 590 450 "#FFFFFF" "button face"
# "Install" in black inside the button; the two sentences in black and grey.
[ "$(count "$work/ready.png" 290x50+585+449 '#000000')" -gt 100 ] || fail "no caption"
[ "$(count "$work/ready.png" 400x16+20+454 '#000000')" -gt 200 ] || fail "no black sentence"
[ "$(count "$work/ready.png" 400x16+20+474 '#646464')" -gt 100 ] || fail "no grey sentence"
# The label in white over its black shadow.
[ "$(count "$work/ready.png" 200x34+20+390 '#FFFFFF')" -gt 50 ] || fail "no white label"
[ "$(count "$work/ready.png" 200x34+20+390 '#000000')" -gt 50 ] || fail "no label shadow"

# A click exactly on the button's border is no press: the face stays white.
click_at 580 470
click_at 700 504
sleep 0.1  # a press would show the black pressed look for at least 200 ms
shot "$work/border.png"
expect_pixel "$work/border.png" 590 450 "#FFFFFF" "after a border click"

# Escape closes the window; the exit code is 0.
xdotool key Escape
wait_exit "Escape" && { [ "$rc" = 0 ] || fail "exit code $rc after Escape"; }

[ "$failures" = 0 ] && echo "window_gui: all checks passed"
exit $((failures > 0))

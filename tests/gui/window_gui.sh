#!/usr/bin/env bash
# The real x86-64 program's window under Wine and an X server: the Ready-to-install look
# read back from a screenshot, a click on the button's border that does nothing, Escape
# that closes with exit code 0. With "shots DIR" it only saves one screenshot per state
# instead (ready.png, installing-1.png, installing-2.png; remove.png after a silent install
# when the product is then present).
#   window_gui.sh BUILD_DIR [shots DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mode=${2:-test} shots=${3:-}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$here/../wine/env.sh"
root=$build/wine
"$here/../wine/prefix.sh" template "$root/template" || exit 1
export WINEPREFIX=$(mktemp -d "$root/gui.XXXXXX")
"$here/../wine/prefix.sh" copy "$root/template" "$WINEPREFIX"
work=$(mktemp -d)
program=$build/MixarroSetup-Indigo.exe
failures=0
cleanup() { "$WINESERVER" -k >/dev/null 2>&1; "$WINESERVER" -w >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"; }
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts the program and waits for its window; sets pid, win, wx, wy.
start_window() {
  "$WINE" "$program" "$@" &
  pid=$!
  win=
  for _ in $(seq 1 120); do
    win=$(xdotool search --name '^QX-Audio Mixarro Installation' 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.25
  done
  [ -n "$win" ] || { fail "no window"; return 1; }
  sleep 1.5  # the first painting
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}

shot() { import -window "$win" "$1"; }
# The colour of one pixel as #RRGGBB.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
# How many pixels of a region have one colour.
count() { convert "$1" -crop "$2" -depth 8 txt:- | grep -c "$3"; }
expect_pixel() {
  local got; got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) is $got, expected $4"
}
click_at() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; }
wait_exit() {
  for _ in $(seq 1 80); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
  if kill -0 "$pid" 2>/dev/null; then fail "$1: still running"; return 1; fi
  wait "$pid"
}

if [ "$mode" = shots ]; then
  mkdir -p "$shots"
  start_window || exit 1
  shot "$shots/ready.png"
  click_at 700 470
  sleep 0.7; shot "$shots/installing-1.png"
  sleep 0.5; shot "$shots/installing-2.png"
  "$WINESERVER" -k; sleep 1
  "$WINE" "$program" -h -i; echo "silent install: $?"
  start_window && shot "$shots/remove.png"
  "$WINESERVER" -k
  ls -l "$shots"
  exit 0
fi

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
wait_exit "Escape"
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after Escape"

[ "$failures" = 0 ] && echo "window_gui: all checks passed"
exit $((failures > 0))

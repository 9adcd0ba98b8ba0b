# Sourced by the GUI checks: Wine prefixes, the installer's window, screenshots and message
# boxes under an X server without a window manager. The caller sets `here` (this folder) and
# `build` (the build folder) and runs under an X display.
source "$here/../wine/env.sh"
# Only prefixes made here are ever touched (and their Wine processes ended).
unset WINEPREFIX
root=$build/wine
probe=$build/gui_probe.exe
work=$(mktemp -d)
failures=0
"$here/../wine/prefix.sh" template "$root/template" || exit 1

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && end_prefix_detached "$WINEPREFIX"
  rm -rf "$work"
  declare -F mixarro_xvfb_stop >/dev/null && mixarro_xvfb_stop
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Ends every process of the current prefix (if any), removes it, and switches to a fresh copy
# of the template. Ending a session waits most of a second for its server to go; checks
# without windows (MIXARRO_END_IN_BACKGROUND=1), which nothing of the old prefix can mislead,
# let that happen beside their next steps.
fresh_prefix() {
  if [ -n "${WINEPREFIX:-}" ]; then
    if [ "${MIXARRO_END_IN_BACKGROUND:-}" = 1 ]; then
      end_prefix_detached "$WINEPREFIX"
    else
      "$WINESERVER" -k >/dev/null 2>&1
      "$WINESERVER" -w >/dev/null 2>&1
      rm -rf "$WINEPREFIX"
    fi
  fi
  WINEPREFIX=$(mktemp -d "$root/gui.XXXXXX")
  export WINEPREFIX
  "$here/../wine/prefix.sh" copy "$root/template" "$WINEPREFIX"
}

# Starts `program` with the given switches and waits for its window and the first painting;
# sets pid, win and the window's place and size wx, wy, ww, wh.
start_window() {
  if window_shown; then
    fail "a window of an earlier run is still there"
    return 1
  fi
  "$WINE" "$program" "$@" &
  pid=$!
  win=
  for _ in $(seq 1 160); do
    win=$(xdotool search --onlyvisible --name '^QX-Audio Mixarro Installation' 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.25
  done
  [ -n "$win" ] || { fail "no window"; return 1; }
  # The first painting; then a moment for Wine to hand the painted bits to the X server.
  "$WINE" "$probe" painted "QX-Audio Mixarro Installation" >/dev/null 2>&1 ||
    { fail "the window was never painted"; return 1; }
  sleep 0.2
  kill -0 "$pid" 2>/dev/null || { fail "the program ended with its window shown"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}

window_shown() { xdotool search --onlyvisible --name '^QX-Audio Mixarro Installation' >/dev/null 2>&1; }
shot() { import -window "$win" "$1"; }
# The colour of one pixel as #RRGGBB.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-F]\{6\}'; }
# How many pixels of a region have one colour.
count() { convert "$1" -crop "$2" -depth 8 txt:- | grep -c "$3"; }
# The horizontal extent "LEFT RIGHT" (relative to the region) of the pixels of one colour in
# a region; "-1 -1" when there is none.
extent() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | grep "$3" |
    awk -F'[,:]' 'BEGIN { l = -1; r = -1 } { if (l < 0 || $1 < l) l = $1; if ($1 > r) r = $1 }
                  END { print l, r }'
}
# The width of that extent; 0 when there is none.
extent_width() {
  local l r
  read -r l r < <(extent "$@")
  [ "$l" -ge 0 ] && echo $((r - l + 1)) || echo 0
}
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) is $got, expected $4"
}
click_at() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; }
# Keys go where the pointer is (no window manager): a click on the band left of the button,
# which does nothing, makes the window take the keys that follow.
key_to_window() {
  click_at 300 515
  xdotool key "$@"
}

# Waits up to `seconds` (default 20) for the program to end; its exit code then in `rc`
# (as the shell sees it: the low 8 bits).
wait_exit() {
  local tries=$((${2:-20} * 4))
  rc=
  for _ in $(seq 1 "$tries"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$1: still running"
    return 1
  fi
  wait "$pid"
  rc=$?
}

# Looks for a shown box with exactly this caption for up to `seconds` (default 30; 0 looks
# once); sets `box`.
wait_box() {
  local tries=$((${2:-30} * 4)) i
  box=
  for ((i = 0; i <= tries; i++)); do
    box=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$box" ] && return 0
    [ "$i" -lt "$tries" ] && sleep 0.25
  done
  return 1
}

# The message text of the shown box with this caption, read inside the prefix.
box_text() { "$WINE" "$probe" text "$1" 2>/dev/null; }

# Checks the text of the box with this caption against a printf pattern.
expect_box_text() {
  local got expected
  got=$(box_text "$1")
  expected=$(printf "$2")
  [ "$got" = "$expected" ] || fail "$3: box \"$1\" says \"$got\", expected \"$expected\""
}

# Dismisses the box `box` with this caption: Enter, and when the box does not take the key
# within 2 s, a click on its OK button (bottom middle). Under Wine without a window manager a
# box that the window thread opens while it handles a click is not activated and gets no keys.
dismiss_box() {
  xdotool key --window "$box" Return 2>/dev/null
  local i
  for i in $(seq 1 60); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    if [ "$i" = 8 ]; then
      # The box may close between the look above and this one: then there is nothing to click.
      local WINDOW= X= Y= WIDTH= HEIGHT= SCREEN=
      eval "$(xdotool getwindowgeometry --shell "$box" 2>/dev/null)"
      [ -n "$X" ] && xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) click 1
    fi
    sleep 0.25
  done
  fail "the box \"$1\" stays after Enter and a click on OK"
  return 1
}

# Asks the installer's window to close as its close box does (there is no window manager).
request_close() { "$WINE" "$probe" close "QX-Audio Mixarro Installation" >/dev/null 2>&1; }

program_folder() { echo "$WINEPREFIX/drive_c/Program Files/QX/Mixarro"; }
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QX:Mixarro {17359A74-1236-5467}'
uninstall_entry_exists() { "$WINE" reg query "$uninstall_key" >/dev/null 2>&1; }

# A hash of a region's pixels, to compare regions of two screenshots.
crop_hash() { convert "$1" -crop "$2" +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1; }

# The look of the button in a screenshot while the worker runs: "word" (black face, the white
# "Installing" and a step text), "noword" (black face and only the step text) or "other".
# "Installing" is told from the pressed look's "Install" by its width.
busy_look() {
  local face corner step word
  face=$(pixel "$1" 590 450) corner=$(pixel "$1" 870 498)
  step=$(count "$1" 290x16+585+486 '#FFFFFF')
  word=$(count "$1" 290x36+585+446 '#FFFFFF')
  if [ "$face" != "#000000" ] || [ "$corner" != "#000000" ] || [ "$step" -lt 50 ]; then
    echo other
  elif [ "$word" = 0 ]; then
    echo noword
  elif [ "$(extent_width "$1" 290x36+585+446 '#FFFFFF')" -ge 130 ]; then
    echo word
  else
    echo other
  fi
}

# Screenshots of the busy button until two of them, one step text alike, show the word
# "Installing" and not: two blink ticks, saved as $1 (with the word) and $2 (without).
capture_blink() {
  local i look step steps_word='' steps_noword=''
  rm -f "$1" "$2"
  for i in $(seq 1 40); do
    shot "$work/tick.png"
    look=$(busy_look "$work/tick.png")
    step=$(crop_hash "$work/tick.png" 290x16+585+486)
    case $look in
      word) cp "$work/tick.png" "$1"; steps_word=$step ;;
      noword) cp "$work/tick.png" "$2"; steps_noword=$step ;;
    esac
    [ -n "$steps_word" ] && [ "$steps_word" = "$steps_noword" ] && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to `seconds` for a line holding the text in the stand-ins' log $work/standin.log.
wait_log_line() {
  local tries=$((${2:-30} * 4))
  for _ in $(seq 1 "$tries"); do
    grep -q "$1" "$work/standin.log" 2>/dev/null && return 0
    sleep 0.25
  done
  return 1
}

# Copies the installer $1 to $2 with one wrong byte in the catalogue digest of the entry $3
# (the catalogue record: the name padded with zeros to 128 bytes, the digest at offset 136).
wrong_digest() {
  perl -e '
    my ($from, $to, $name) = @ARGV;
    local $/;
    open(my $in, "<:raw", $from) or exit 1;
    my $image = <$in>;
    my $at = index($image, $name . ("\0" x (128 - length $name)));
    exit 1 if $at < 0;
    substr($image, $at + 136, 1) = chr(ord(substr($image, $at + 136, 1)) ^ 0x5a);
    open(my $out, ">:raw", $to) or exit 1;
    print $out $image;' "$1" "$2" "$3"
}

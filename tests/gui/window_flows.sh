#!/usr/bin/env bash
# The real x86-64 program's window driven to its end under Wine and an X server, each flow in
# fresh copies of the test prefix:
#   install  a click on Install: the blinking busy button, Enter, Escape, clicks and close
#            requests ignored while the worker runs, the completion box, exit code 0, the
#            product installed (and installed once)
#   remove   after a silent install the window offers Remove with the already-installed
#            texts; a click removes the product and ends in the reboot box
#   foreign  an uninstall entry naming another setup program: the "Wrong Installation
#            Program" box, then the window closes; the same program name in another folder
#            (quoted, other letter case) is not foreign
#   error    a payload with a wrong digest: the error box with the copy text, then the window
#            closes; hidden, no box and exit code -10
#   cobalt   the Cobalt build's own foreign-setup and reboot texts; Enter runs the removal
#   window_flows.sh BUILD_DIR FLOW
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
flow=$2
# Its own X server: no window of a test running beside it can take the focus or the keys.
MIXARRO_OWN_XVFB=1 source "$here/../wine/xvfb.sh"
[ -n "${MIXARRO_XVFB_PID:-}" ] || exit 1
source "$here/lib.sh"

indigo=$build/MixarroSetup-Indigo.exe
cobalt=$build/MixarroSetup-Cobalt.exe
REBOOT="REBOOT YOUR SYSTEM"
FOREIGN="Wrong Installation Program"
INSTALL_ERROR="Mixarro Installation Error"
COMPLETE_TEXT='Installation Complete and Successful !\n\nYOU MUST REBOOT your system to finalize installation'
COPY_TEXT='Failed to copy file(s) to destination folder...\nInstallation package might be corrupted\nthanks to download official package at\nhttps://www.qx-audio.com/mixarro.'
FOREIGN_TEXT_INDIGO="Current Mixarro version has been\ninstalled by another Setup program...\n\nYou must use the same Setup Program to uninstall it,\nalso listed in Windows Programs and Features...\n\nDON'T FORGET TO REBOOT AFTER UNINSTALLATION"
FOREIGN_TEXT_COBALT="Current Mixarro version has been\ninstalled by another Setup program...\n\nYou must use the same Setup Program to de-install it,\nalso listed in Windows Programs and Features...\n\nDON'T FORGET TO REBOOT AFTER DE-INSTALLATION"
REBOOT_TEXT_INDIGO='Restart System to finish the uninstallation!'
REBOOT_TEXT_COBALT='Restart System to finish de-installation!'

# Installs silently with `program`; the product is then present.
silent_install() {
  "$WINE" "$program" -h -i
  local got=$?
  [ "$got" = 0 ] || { fail "silent install: exit code $got"; return 1; }
}

# A screenshot of the Ready-to-install look of `program` in the current prefix, as $1.
ready_reference() {
  start_window || return 1
  shot "$1"
  key_to_window Escape
  wait_exit "ready reference"
}

# The window in $2 shows the already-installed texts where $1 (the ready look) shows the
# install texts, and the same picture: the shorter first sentence, the longer second one, and
# "Remove", wider than "Install". Printed as the widths read.
expect_remove_look() {
  local what=$3
  local ready1 now1 ready2 now2 readyc nowc
  ready1=$(extent_width "$1" 550x18+20+454 '#000000') now1=$(extent_width "$2" 550x18+20+454 '#000000')
  ready2=$(extent_width "$1" 550x18+20+474 '#646464') now2=$(extent_width "$2" 550x18+20+474 '#646464')
  readyc=$(extent_width "$1" 290x50+585+449 '#000000') nowc=$(extent_width "$2" 290x50+585+449 '#000000')
  echo "$what: sentence widths $ready1/$ready2 -> $now1/$now2, caption width $readyc -> $nowc"
  [ "$now1" -gt 100 ] && [ "$now1" -lt "$ready1" ] || fail "$what: first sentence $now1 px wide, install one $ready1"
  [ "$ready2" -gt 100 ] && [ "$now2" -gt "$ready2" ] || fail "$what: second sentence $now2 px wide, install one $ready2"
  [ "$readyc" -gt 50 ] && [ "$nowc" -gt "$readyc" ] || fail "$what: caption $nowc px wide, \"Install\" $readyc"
  [ "$(crop_hash "$1" 900x424+0+0)" = "$(crop_hash "$2" 900x424+0+0)" ] || fail "$what: the picture differs"
  expect_pixel "$2" 590 450 "#FFFFFF" "$what: button face"
}

# The product's program folder and its uninstall entry are there (1) or gone (0).
expect_product() {
  local want=$1 what=$2 file entry=0
  [ -f "$(program_folder)/readme.txt" ] && file=1 || file=0
  uninstall_entry_exists && entry=1
  [ "$file" = "$want" ] || fail "$what: readme.txt in the program folder: $file, expected $want"
  [ "$entry" = "$want" ] || fail "$what: uninstall entry: $entry, expected $want"
}

set_uninstall_string() {
  "$WINE" reg add "$uninstall_key" /v UninstallString /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
    fail "cannot set UninstallString to $1"
}
uninstall_string() {
  "$WINE" reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *UninstallString *REG_SZ *//p'
}

# Starts the window for a product installed by this same program: no foreign-setup box, the
# Remove look (against the ready look in $1); $2 names the case.
expect_not_foreign() {
  start_window || return 1
  # The check's box is asked for when the window is made, ahead of its first painting: once
  # the window is painted, a box would already be there (a second covers its mapping in X).
  if wait_box "$FOREIGN" 1; then
    fail "$2: foreign-setup box shown"
    dismiss_box "$FOREIGN"
  fi
  shot "$work/same.png"
  expect_remove_look "$1" "$work/same.png" "$2"
}

flow_install() {
  fresh_prefix
  program=$indigo
  # The registration program runs five times after the last driver step: 4 s each keep the
  # worker busy with one step text long enough for the checks below.
  export MIXARRO_REGSVR_SLEEP_MS=4000
  export MIXARRO_STANDIN_LOG="Z:${work//\//\\}\\standin.log"
  start_window || return
  click_at 700 470
  wait_log_line qxregsvr64 60 || { fail "the registration program never ran"; return; }
  capture_blink "$work/tick-word.png" "$work/tick-noword.png" ||
    fail "no two blink ticks with and without \"Installing\" over one step text"

  # Enter, Escape, a click on the button and the close request while the worker runs.
  local key
  for key in Return Escape click close; do
    case $key in
      click) click_at 700 470 ;;
      close) request_close ;;
      *) key_to_window "$key" ;;
    esac
    sleep 1
    window_shown && kill -0 "$pid" 2>/dev/null || { fail "$key while installing: the window went"; return; }
    wait_box "$REBOOT" 0 && { fail "$key while installing: the install ended too early to tell"; break; }
  done
  shot "$work/after-keys.png"
  [ "$(busy_look "$work/after-keys.png")" != other ] || fail "after the keys: not the busy look"

  wait_box "$REBOOT" 120 || { fail "no \"$REBOOT\" box after the install"; return; }
  expect_box_text "$REBOOT" "$COMPLETE_TEXT" "install"
  dismiss_box "$REBOOT"
  wait_exit "after the completion box" 30 && { [ "$rc" = 0 ] || fail "install: exit code $rc, expected 0"; }
  expect_product 1 "after the install"
  # One install: every sub-setup, registration and module entry ran once.
  local twice
  twice=$(cut -f1,2 "$work/standin.log" | sort | uniq -d)
  [ -z "$twice" ] || fail "ran more than once (a second install?): $twice"
  [ "$(grep -c '_Setup' "$work/standin.log")" = 3 ] || fail "expected 3 sub-setup runs: $(cat "$work/standin.log")"
}

flow_remove() {
  fresh_prefix
  program=$indigo
  ready_reference "$work/ready.png" || return
  silent_install || return
  start_window || return
  shot "$work/remove.png"
  expect_remove_look "$work/ready.png" "$work/remove.png" "ready to remove"
  click_at 700 470
  wait_box "$REBOOT" 120 || { fail "no \"$REBOOT\" box after the removal"; return; }
  expect_box_text "$REBOOT" "$REBOOT_TEXT_INDIGO" "removal"
  dismiss_box "$REBOOT"
  wait_exit "after the reboot box" 30 && { [ "$rc" = 0 ] || fail "removal: exit code $rc, expected 0"; }
  expect_product 0 "after the removal"
}

flow_foreign() {
  fresh_prefix
  program=$indigo
  ready_reference "$work/ready.png" || return
  silent_install || return
  local installed
  installed=$(uninstall_string)
  [ -n "$installed" ] || { fail "no UninstallString after the install"; return; }

  set_uninstall_string 'C:\Other\OtherSetup.exe'
  start_window || return
  if wait_box "$FOREIGN" 30; then
    expect_box_text "$FOREIGN" "$FOREIGN_TEXT_INDIGO" "foreign setup"
    dismiss_box "$FOREIGN"
    wait_exit "after the foreign-setup box" && { [ "$rc" = 0 ] || fail "foreign setup: exit code $rc, expected 0"; }
  else
    fail "no \"$FOREIGN\" box for C:\\Other\\OtherSetup.exe"
    return
  fi
  expect_product 1 "after the foreign-setup box"

  # The same program file name elsewhere is this program. Each window closes as the close
  # box would, or by Escape.
  local value
  local cases=(
    "$installed"
    'C:\Other\MixarroSetup-Indigo.exe'
    '"C:\Other Folder\MIXARROSETUP-INDIGO.EXE"'
  )
  for value in "${cases[@]}"; do
    set_uninstall_string "$value"
    expect_not_foreign "$work/ready.png" "UninstallString $value" || continue
    if [ "$value" = "$installed" ]; then request_close; else key_to_window Escape; fi
    wait_exit "UninstallString $value" && { [ "$rc" = 0 ] || fail "UninstallString $value: exit code $rc"; }
  done
  expect_product 1 "after the windows of the same program"
}

flow_error() {
  fresh_prefix
  program=$work/MixarroSetup-Indigo.exe
  # A payload entry whose catalogue digest does not match its bytes.
  wrong_digest "$indigo" "$program" QXMXAUX_ControlPanel.exe || { fail "cannot make the corrupted copy"; return; }
  start_window || return
  click_at 700 470
  if wait_box "$INSTALL_ERROR" 120; then
    expect_box_text "$INSTALL_ERROR" "$COPY_TEXT" "wrong digest"
    dismiss_box "$INSTALL_ERROR"
    wait_exit "after the error box" 30 && { [ "$rc" = 0 ] || fail "error box: exit code $rc, expected 0"; }
  else
    fail "no \"$INSTALL_ERROR\" box"
  fi
  uninstall_entry_exists && fail "wrong digest: uninstall entry written"

  # Hidden: neither the window nor a box shows; the exit code carries -10.
  fresh_prefix
  "$WINE" "$program" -h -i &
  pid=$!
  local seen=
  for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool search --onlyvisible --name "^($INSTALL_ERROR|QX-Audio Mixarro Installation.*)\$" >/dev/null 2>&1 && seen=1
    sleep 0.25
  done
  [ -z "$seen" ] || fail "hidden mode showed a window or a box"
  wait_exit "hidden install" 5 && { [ "$rc" = $((-10 & 255)) ] || fail "hidden install: exit code $rc, expected $((-10 & 255)) (-10)"; }
}

flow_cobalt() {
  fresh_prefix
  program=$cobalt
  ready_reference "$work/ready.png" || return
  silent_install || return
  local installed
  installed=$(uninstall_string)
  set_uninstall_string 'C:\Other\OtherSetup.exe'
  start_window || return
  if wait_box "$FOREIGN" 30; then
    expect_box_text "$FOREIGN" "$FOREIGN_TEXT_COBALT" "Cobalt foreign setup"
    dismiss_box "$FOREIGN"
    wait_exit "Cobalt after the foreign-setup box" && { [ "$rc" = 0 ] || fail "Cobalt foreign setup: exit code $rc"; }
  else
    fail "Cobalt: no \"$FOREIGN\" box"
  fi

  set_uninstall_string "$installed"
  expect_not_foreign "$work/ready.png" "Cobalt ready to remove" || return
  key_to_window Return
  wait_box "$REBOOT" 120 || { fail "Cobalt: no \"$REBOOT\" box after the removal"; return; }
  expect_box_text "$REBOOT" "$REBOOT_TEXT_COBALT" "Cobalt removal"
  dismiss_box "$REBOOT"
  wait_exit "Cobalt after the reboot box" 30 && { [ "$rc" = 0 ] || fail "Cobalt removal: exit code $rc"; }
  expect_product 0 "Cobalt after the removal"
}

case $flow in
  install | remove | foreign | error | cobalt) "flow_$flow" ;;
  *) echo "usage: window_flows.sh BUILD_DIR install|remove|foreign|error|cobalt" >&2; exit 2 ;;
esac
[ "$failures" = 0 ] && echo "window_flows $flow: all checks passed"
exit $((failures > 0))

#!/usr/bin/env bash
# Runs that follow runs on one machine, as users and administrators chain them: uninstall
# while a host application holds an ASIO module (and the uninstaller copy runs from the program
# folder, as Programs and Features starts it), reinstall, restart, the other edition's
# installer, switch runs with their window and boxes shown. A restart ends the Wine session and
# starts a new one, which carries out the operations pending at the restart; between the steps
# of a scenario the session is kept alive, so that nothing pending is carried out early.
# After each scenario the machine is checked byte for byte: every payload file, the uninstaller
# copy, the uninstall entry's values and both groups of shortcuts; or, after a removal, that
# nothing of the product stays but the "QX" and "QX Audio" folders, the per-user values set to
# 0, and a "."-named folder (with its file) that the user keeps in the program folder.
#   scenarios.sh BUILD_DIR EDITION SCENARIO
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
edition=$2
scenario=$3
source "$here/machine.sh"

case $scenario in
  in_use_reinstall_restart)
    new_machine
    install && hold_module && uninstall_from_entry && install && restart && expect_whole
    ;;
  in_use_restart)
    new_machine
    install && plant_dot_folder && hold_module && uninstall_from_entry && restart
    planted=1 expect_removed
    # The next install still finds its folder and ends whole.
    install && expect_whole
    ;;
  in_use_uninstall_again_reinstall_restart)
    new_machine
    install && plant_dot_folder && hold_module && uninstall_from_entry && uninstall &&
      release_module && install && restart && expect_whole
    [ "$(cat "$(folder)/.user/notes.txt" 2>/dev/null)" = "kept by the user" ] ||
      fail "$scenario: the user's .user\\notes.txt is gone"
    ;;
  other_edition)
    # After a removal in use, the other edition is installed before the restart.
    new_machine
    install && hold_module && uninstall_from_entry && as_edition "$other" && install &&
      restart && expect_whole
    ;;
  other_edition_switch)
    # The other edition's switch runs on this edition's product change nothing, as a click
    # on the other edition's window does not, and say so in their exit code.
    new_machine
    install || exit 1
    other_installer=$build/MixarroSetup-$other.exe
    run_expect "$FOREIGN_RESULT" "the other edition's -h -i" "$other_installer" -h -i
    run_expect "$FOREIGN_RESULT" "the other edition's -h -u" "$other_installer" -h -u
    expect_whole
    # A machine as earlier versions left it: without the entry, the other edition's removal
    # ran with its own packages only, and the folder went with it. This edition's removal
    # takes the sub-setups from its payload and removes every package; then it installs.
    "$WINE" reg delete "$uninstall_key" /f "$reg_view" >/dev/null 2>&1
    run_expect 0 "the other edition's -h -i without the entry" "$other_installer" -h -i
    uninstall && install && expect_whole
    ;;
  removal_missing_subsetup)
    # A sub-setup gone from the program folder: the removal takes it from the payload and the
    # package goes, so that the next install installs.
    new_machine
    install || exit 1
    rm -f "$(subsetup_file QXMXAUX_Setup)"
    uninstall && install && expect_whole
    ;;
  removal_blocked_subsetup)
    # When the payload cannot give a missing sub-setup back either (a folder in the way), the
    # removal fails and removes nothing: 0 would say the product is gone while its driver stays.
    new_machine
    install || exit 1
    rm -f "$(subsetup_file QXMXAUX_Setup)"
    mkdir "$(subsetup_file QXMXAUX_Setup)"
    run_expect -605 "uninstall with the sub-setup blocked" "$installer" -h -u
    uninstall_entry_exists || fail "$scenario: the failed removal removed the uninstall entry"
    rmdir "$(subsetup_file QXMXAUX_Setup)"
    uninstall && restart && expect_removed
    ;;
  other_edition_shown)
    # Shown, the other edition's switch run shows the box that its window shows for a click,
    # with its own wording, and changes nothing.
    new_machine
    install || exit 1
    as_edition "$other"
    shown_switch_run "Wrong Installation Program" "$FOREIGN_TEXT" "$FOREIGN_RESULT" "$installer" -i
    as_edition "$other"
    expect_whole
    ;;
  shown_corrupted_install)
    # Not hidden: the error box stays until dismissed, and the exit code is the result. (On
    # a machine with the product the install switch removes it: the presence decides.)
    new_machine
    install && uninstall
    copy=$(corrupted_copy) || exit 1
    shown_switch_run "Mixarro Installation Error" "$COPY_TEXT" -10 "$copy" -i
    uninstall_entry_exists && fail "$scenario: uninstall entry written"
    install && expect_whole
    ;;
  shown_install_remove)
    new_machine
    shown_switch_run "REBOOT YOUR SYSTEM" "$COMPLETE_TEXT" 0 "$installer" -i
    expect_whole
    shown_switch_run "REBOOT YOUR SYSTEM" "$REBOOT_TEXT" 0 "$installer" -u
    restart
    expect_removed
    ;;
  remove_click_failing_subsetup)
    # A removal sub-setup that fails: its error box stays until dismissed, nothing else is
    # removed, and the program ends after the box.
    new_machine
    install || exit 1
    export MIXARRO_EXIT_QXLINK_SETUP=-1
    start_window || exit 1
    unset MIXARRO_EXIT_QXLINK_SETUP
    click_at 700 470
    caption="Mixarro Uninstallation Error"
    if wait_box "$caption" 120; then
      sleep "$BOX_STAYS_S"
      if wait_box "$caption" 0; then
        expect_box_text "$caption" "$REMOVAL_FAILURE_TEXT" "$scenario"
        kill -0 "$pid" 2>/dev/null || fail "$scenario: the program ended with its box shown"
        dismiss_box "$caption"
      else
        fail "$scenario: the \"$caption\" box closed by itself"
      fi
      wait_exit "$scenario: after the box" 30 && { [ "$rc" = 0 ] || fail "$scenario: exit code $rc, expected 0"; }
    else
      fail "$scenario: no \"$caption\" box"
    fi
    expect_whole
    ;;
  *)
    echo "usage: scenarios.sh BUILD_DIR Indigo|Cobalt SCENARIO" >&2
    exit 2
    ;;
esac

if [ "$failures" -gt 0 ]; then
  echo "$edition $scenario: $failures failure(s)"
  exit 1
fi
echo "$edition $scenario: passed"

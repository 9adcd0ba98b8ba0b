# Sourced by the scenario and kill checks: one machine (a Wine prefix whose session lives until
# a restart), the runs of the installer on it, held files, and the checks of what a whole
# product or a removal leaves. The caller sets `here` (this folder), `build` (the build folder),
# `edition` and `scenario` (for the failure messages).
MIXARRO_OWN_XVFB=1 source "$here/../wine/xvfb.sh"
[ -n "${MIXARRO_XVFB_PID:-}" ] || exit 1
source "$here/../gui/lib.sh"

holder=$build/scenario_holder.exe
held_module=qxmxins_asiodriver.dll
user_key='HKCU\QX-Audio\MixArro'
# The edition whose installer the steps run and whose product the checks expect.
as_edition() {
  edition=$1
  installer=$build/MixarroSetup-$edition.exe
  program=$installer
  # The uninstaller copy's name in the program folder.
  copy_name=MixarroSetup-$edition.exe
  payload=$build/sample-payload/$edition
  [ "$edition" = Indigo ] && other=Cobalt || other=Indigo
  # The shortcuts of each group on 64-bit Windows.
  if [ "$edition" = Indigo ]; then
    REBOOT_TEXT='Restart System to finish the uninstallation!'
    FOREIGN_TEXT='Current Mixarro version has been\ninstalled by another Setup program...\n\nYou must use the same Setup Program to uninstall it,\nalso listed in Windows Programs and Features...\n\nDON'"'"'T FORGET TO REBOOT AFTER UNINSTALLATION'
    SHORTCUTS=13
  else
    REBOOT_TEXT='Restart System to finish de-installation!'
    FOREIGN_TEXT='Current Mixarro version has been\ninstalled by another Setup program...\n\nYou must use the same Setup Program to de-install it,\nalso listed in Windows Programs and Features...\n\nDON'"'"'T FORGET TO REBOOT AFTER DE-INSTALLATION'
    SHORTCUTS=10
  fi
}
as_edition "$edition"
arch=$(file -b "$installer" | grep -q 'Intel 80386' && echo i686 || echo x86_64)
# A 32-bit program sees its own Program Files folder and registry view.
if [ "$arch" = i686 ]; then
  pf_name='Program Files (x86)' reg_view=/reg:32
else
  pf_name='Program Files' reg_view=/reg:64
fi
win_folder="C:\\$pf_name\\QX\\Mixarro"
COMPLETE_TEXT='Installation Complete and Successful !\n\nYOU MUST REBOOT your system to finalize installation'
REMOVAL_FAILURE_TEXT='Failed to uninstall mixarro virtual i/o driver...\nOne or several applications are still using it\nClose all possible programs using mixarro\n(including control panels) and try to remove it again '
COPY_TEXT='Failed to copy file(s) to destination folder...\nInstallation package might be corrupted\nthanks to download official package at\nhttps://www.qx-audio.com/mixarro.'
holder_pid=

folder() { echo "$WINEPREFIX/drive_c/$pf_name/QX/Mixarro"; }
# The profile folder is named after the user the prefix was made for.
wine_user=${wine_user:-$(id -un)}
user_group() { echo "$WINEPREFIX/drive_c/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"; }
common_group() { echo "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"; }

# A new machine whose session stays up until the next restart.
new_machine() {
  fresh_prefix
  "$WINESERVER" -p
  "$WINE" cmd /c echo >/dev/null 2>&1
}

# The end of the session (every program of it ends) and the start of the next one, which
# carries out what was pending at the restart.
restart() {
  holder_pid=
  "$WINESERVER" -k >/dev/null 2>&1
  "$WINESERVER" -w >/dev/null 2>&1
  "$WINESERVER" -p
  "$WINE" cmd /c echo >/dev/null 2>&1
}

# Runs a hidden switch run and checks its exit code (as the shell sees it: the low 8 bits).
run_expect() {
  local want=$1 what=$2
  shift 2
  "$WINE" "$@" >/dev/null 2>&1
  local got=$?
  [ "$got" = "$((want & 255))" ] || fail "$what: exit code $got, expected $want"
}

# The install switch run. A busy Wine now and then refuses to start a program: a sub-setup
# (-604, -605) or the installer itself (Wine's own exit code 1). The deployment guide's answer
# is the removal switch, for whatever the refused run left, and the install again; twice at
# most, so that a program that really cannot start still fails the check.
install() {
  local got attempt
  for attempt in 1 2 3; do
    "$WINE" "$installer" -h -i >/dev/null 2>&1
    got=$?
    case $got in
      $((-605 & 255)) | $((-604 & 255)) | 1) ;;
      *) break ;;
    esac
    [ "$attempt" = 3 ] && break
    echo "$scenario: install: Wine refused a program start ($got): remove and install again"
    "$WINE" "$installer" -h -u >/dev/null 2>&1
  done
  [ "$got" = 0 ] || fail "install: exit code $got, expected 0"
}
uninstall() { run_expect 0 "uninstall" "$installer" -h -u; }
# The result of a switch run refused because the uninstall entry names another setup program.
FOREIGN_RESULT=-30
# A driver package's sub-setup in the program folder (the variant that 64-bit Windows runs).
subsetup_file() { echo "$(folder)/$1_x64.exe"; }

# The uninstall as Programs and Features starts it: the stored quiet command line, which runs
# the uninstaller copy in the program folder.
uninstall_from_entry() {
  local quiet
  quiet=$(entry_value QuietUninstallString)
  [ "$quiet" = "\"$win_folder\\$copy_name\" -h -u" ] ||
    { fail "QuietUninstallString is \"$quiet\""; return 1; }
  run_expect 0 "uninstall from the entry" "$win_folder\\$copy_name" -h -u
}

# A host application loads one ASIO module and keeps it until it ends (at the latest at the
# restart).
hold_module() {
  cp "$holder" "$WINEPREFIX/drive_c/holder.exe"
  rm -f "$WINEPREFIX/drive_c/held"
  "$WINE" 'C:\holder.exe' 'C:\held' "$win_folder\\$held_module" >/dev/null 2>&1 &
  holder_pid=$!
  local i
  for i in $(seq 1 120); do
    [ -f "$WINEPREFIX/drive_c/held" ] && return 0
    kill -0 "$holder_pid" 2>/dev/null || break
    sleep 0.25
  done
  fail "the holder could not load $held_module"
  return 1
}

release_module() {
  [ -n "$holder_pid" ] && kill "$holder_pid" 2>/dev/null && wait "$holder_pid" 2>/dev/null
  holder_pid=
  # Wine frees the image when it sees the process go.
  sleep 1
}

# A folder of the user's own in the program folder, which the removal never enters.
plant_dot_folder() {
  mkdir -p "$(folder)/.user"
  echo "kept by the user" >"$(folder)/.user/notes.txt"
}

uninstall_entry_exists() { "$WINE" reg query "$uninstall_key" "$reg_view" >/dev/null 2>&1; }

# A registry query; on a busy machine Wine now and then fails to start a program early in a
# session, so a query that fails is asked again, twice at most (a value that is not there
# fails all three).
reg_query() {
  local out i
  for i in 1 2 3; do
    out=$("$WINE" reg query "$@" 2>/dev/null) && break
    [ "$i" -lt 3 ] && sleep 0.5
  done
  printf '%s\n' "$out" | tr -d '\r'
}

entry_value() {
  reg_query "$uninstall_key" /v "$1" "$reg_view" | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# One value of a key's listing (`reg query KEY`): a check that reads several values of one key
# asks Wine once, not once per value.
listed_value() { sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$1"; }

# The product as one install leaves it: every payload file byte for byte, nothing else in the
# program folder but the uninstaller copy (identical to the installer), the entry, both
# shortcut groups with every link pointing at a file of the program folder.
expect_whole() {
  local what="$scenario: whole" f rel n bad=0
  local pf
  pf=$(folder)
  [ -d "$pf" ] || { fail "$what: no program folder"; return; }
  while IFS= read -r f; do
    rel=${f#"$payload"/}
    cmp -s "$f" "$pf/$rel" || { fail "$what: $rel differs or is missing"; bad=1; }
  done < <(find "$payload" -type f | sort)
  cmp -s "$installer" "$pf/$copy_name" || fail "$what: the uninstaller copy $copy_name differs or is missing"
  local expected actual
  expected=$( (cd "$payload" && find . -type f; echo "./$copy_name") | sort)
  actual=$(cd "$pf" && find . -type f -not -path './.user/*' | sort)
  [ "$expected" = "$actual" ] ||
    fail "$what: the program folder differs (< missing, > extra): $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | tr '\n' ' ')"
  local v entry
  entry=$(reg_query "$uninstall_key" "$reg_view")
  v=$(listed_value "$entry" UninstallString)
  [ "$v" = "\"$win_folder\\$copy_name\"" ] || fail "$what: UninstallString \"$v\""
  v=$(listed_value "$entry" DisplayIcon)
  [ "$v" = "$win_folder\\$copy_name" ] || fail "$what: DisplayIcon \"$v\""
  v=$(listed_value "$entry" DisplayName)
  [ "$v" = "Mixarro, The Virtual Mixing Console" ] || fail "$what: DisplayName \"$v\""
  v=$(listed_value "$entry" InstallLocation)
  [ "$v" = "$win_folder" ] || fail "$what: InstallLocation \"$v\""
  local group want
  for group in "$(user_group)" "$(common_group)"; do
    # A user's group that the run could not reach (USER_SHORTCUTS=0) is not made at all.
    want=$SHORTCUTS
    [ "$group" = "$(user_group)" ] && want=${USER_SHORTCUTS:-$SHORTCUTS}
    n=$(find "$group" -maxdepth 1 -name '*.LNK' 2>/dev/null | wc -l)
    [ "$n" = "$want" ] || fail "$what: $n shortcuts in $group, expected $want"
    [ "$want" = 0 ] && [ -e "$group" ] && fail "$what: $group was made"
    for f in "$group"/*.LNK; do
      [ -f "$f" ] || continue
      local target
      local info
      info=$(lnkinfo "$f" 2>/dev/null | tr -d '\r')
      target=$(sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p' <<<"$info" | head -1)
      # Wine writes a link's 8-bit parts (the local path among them) in the code page of the
      # program that saves it, UTF-8 for ours, and lnkinfo reads them as 1252: with letters
      # outside ASCII in the program folder, the folder is read from the UTF-16 working folder.
      if [ -n "${LINK_FOLDER_FROM_WORKING_DIR:-}" ]; then
        target="$(sed -n 's/^[[:space:]]*Working directory[[:space:]]*: //p' <<<"$info" | head -1)\\${target##*\\}"
      fi
      case $target in
        "$win_folder\\"*)
          # Windows names compare ignoring case ("Mixarro8.exe" is "mixarro8.exe").
          rel=${target#"$win_folder\\"}
          [ -n "$(find "$pf" -ipath "$pf/${rel//\\//}" -type f)" ] ||
            fail "$what: $(basename "$f") points at the missing $target" ;;
        *) fail "$what: $(basename "$f") points at \"$target\"" ;;
      esac
    done
  done
  return $bad
}

# Nothing of the product stays but what a removal keeps: the "QX" and "QX Audio" folders, the
# per-user values set to 0, and the user's "."-named folder with its file when one was planted
# (and so the program folder around it).
expect_removed() {
  local what="$scenario: removed" pf left
  pf=$(folder)
  if [ -f "$pf/.user/notes.txt" ] || [ -n "${planted:-}" ]; then
    [ "$(cat "$pf/.user/notes.txt" 2>/dev/null)" = "kept by the user" ] ||
      fail "$what: the user's .user\\notes.txt is gone"
    left=$(cd "$pf" 2>/dev/null && find . -mindepth 1 -not -path './.user' -not -path './.user/*' | sort | tr '\n' ' ')
  else
    left=$([ -e "$pf" ] && (cd "$pf" && find . -mindepth 1 | sort | tr '\n' ' ') || true)
    [ -e "$pf" ] && fail "$what: the program folder is still there"
  fi
  [ -z "$left" ] || fail "$what: left in the program folder: $left"
  [ -d "$WINEPREFIX/drive_c/$pf_name/QX" ] || fail "$what: the QX folder is gone"
  [ -e "$(user_group)" ] && fail "$what: the user's Start-menu group is still there"
  [ -e "$(common_group)" ] && fail "$what: the common Start-menu group is still there"
  uninstall_entry_exists && fail "$what: the uninstall entry is still there"
  local value values
  values=$(reg_query "$user_key")
  for value in SysTray SysTrayShowOnRun EngineMode; do
    [ "$(listed_value "$values" "$value")" = 0x0 ] ||
      fail "$what: $user_key\\$value is \"$(listed_value "$values" "$value")\""
  done
  ls "$WINEPREFIX/drive_c/windows/inf" 2>/dev/null | grep -qi '^qxusbgpi' && fail "$what: a USB GPI file stays"
  return 0
}

# How long a box must stay shown to count as staying. A box that closes by itself does so at
# its first look at the queue (a quit or close request already waiting there), within a tenth
# of a second: two seconds tell the two apart with room to spare on a busy machine.
BOX_STAYS_S=2

# A shown switch run whose box must stay until it is dismissed; then the exit code.
#   shown_switch_run CAPTION TEXT EXIT_CODE PROGRAM SWITCH
shown_switch_run() {
  local caption=$1 text=$2 want=$3 prog=$4 switch=$5
  "$WINE" "$prog" "$switch" >/dev/null 2>&1 &
  pid=$!
  wait_box "$caption" 120 || { fail "$scenario: no \"$caption\" box"; return 1; }
  sleep "$BOX_STAYS_S"
  if ! wait_box "$caption" 0; then
    fail "$scenario: the \"$caption\" box closed by itself"
  else
    expect_box_text "$caption" "$text" "$scenario"
    kill -0 "$pid" 2>/dev/null || fail "$scenario: the program ended with its box shown"
    dismiss_box "$caption"
  fi
  wait_exit "$scenario: after the box" 30 &&
    { [ "$rc" = "$((want & 255))" ] || fail "$scenario: exit code $rc, expected $want"; }
}

corrupted_copy() {
  # A payload entry whose catalogue digest does not match its bytes.
  wrong_digest "$installer" "$work/MixarroSetup-$edition.exe" readme.txt ||
    { fail "cannot make the corrupted copy"; return 1; }
  echo "$work/MixarroSetup-$edition.exe"
}


#!/usr/bin/env bash
# The product installed and removed for a user whose name has letters outside the session's
# ANSI code page (Wine takes 1252 from LANG=C.UTF-8), with the installer started from that
# user's Downloads folder or from a folder named in Chinese; and the same as a system that
# ignores the manifest's UTF-8 code page runs it: the test builds "-system-cp" (short names in
# place of what the code page lacks) and "-no-short-names" (a volume without them too, where
# the run refuses the user's Start-menu group and logs why). Each case is checked byte for byte:
# every payload file, the uninstaller copy and the entry that names it, both shortcut groups,
# the log in that user's own TEMP; then the removal that the entry's QuietUninstallString
# starts; and no profile folder under a look-alike name, at any point.
#   user_names.sh BUILD_DIR EDITION CASE
# CASE: <program>.<user>.<folder>, program utf8|system-cp|no-short-names, user latin|cjk,
# folder downloads|cjk|programfiles (started from C:\\Setup, Program Files named in Polish).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
edition=$2
scenario=$3
IFS=. read -r variant who where <<<"$scenario"
# The session's code page is 1252 whatever the machine's locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
case $who in
  latin) wine_user=Łukasz ;;
  cjk) wine_user=王小明 ;;
  *) echo "usage: user_names.sh BUILD_DIR EDITION utf8|system-cp|no-short-names.latin|cjk.downloads|cjk" >&2; exit 2 ;;
esac
source "$here/machine.sh"

# A prefix made for that user (Wine names the profile folder after USER when it makes one).
export USER=$wine_user
user_template=$root/template-$who
"$here/../wine/prefix.sh" template "$user_template" || exit 1
fresh_prefix() {
  [ -n "${WINEPREFIX:-}" ] && end_prefix_detached "$WINEPREFIX"
  WINEPREFIX=$(mktemp -d "$root/names.XXXXXX")
  export WINEPREFIX
  "$here/../wine/prefix.sh" copy "$user_template" "$WINEPREFIX"
  # Wine links Downloads, Documents and the like to the Unix home folder, which every prefix
  # (and every test running beside this one) shares: a folder of the machine's own instead.
  local link
  for link in "$WINEPREFIX/drive_c/users/$wine_user"/*; do
    [ -L "$link" ] && rm -f "$link" && mkdir "$link"
  done
}

case $variant in
  utf8) built=$build/MixarroSetup-$edition.exe ;;
  system-cp | no-short-names) built=$build/MixarroSetup-$edition-$variant.exe ;;
  *) echo "user_names.sh: unknown program $variant" >&2; exit 2 ;;
esac
case $where in
  downloads) win_start="C:\\users\\$wine_user\\Downloads" ;;
  cjk) win_start='C:\安装程序' ;;
  programfiles) win_start='C:\Setup' ;;
  *) echo "user_names.sh: unknown folder $where" >&2; exit 2 ;;
esac
unix_path() { local p=${1#C:\\}; echo "$WINEPREFIX/drive_c/${p//\\//}"; }

# Run under the UTF-8 code page every path arrives whole and the copy keeps the installer's
# name. Under the system's code page the installer's own path is a short name or none: the
# copy takes the name the program was built with.
base_name=$([ "$edition" = Indigo ] && echo Mixarro8Setup || echo MixarroProSetup)
want_reach=
case $variant in
  system-cp) copy_name=$base_name.exe want_reach='its short name' ;;
  no-short-names) copy_name=$base_name.exe want_reach='nor by a short name' USER_SHORTCUTS=0 ;;
esac

# Only the user's own profile folder and Public: no look-alike ("Lukasz", "???").
expect_profiles() {
  local got
  got=$(ls "$WINEPREFIX/drive_c/users" | sort | tr '\n' ' ')
  [ "$got" = "$(printf '%s\n' Public "$wine_user" | sort | tr '\n' ' ')" ] ||
    fail "$scenario: $1: the profile folders are $got"
}

# The run's log in the user's own TEMP; under UTF-8 it starts with the byte-order mark.
expect_log() {
  local log
  log=$(ls -t "$WINEPREFIX/drive_c/users/$wine_user/Temp"/MixarroSetup-"$edition"-*.log 2>/dev/null | head -1)
  [ -n "$log" ] || { fail "$scenario: $1: no log in the user's TEMP"; return; }
  if [ "$variant" = utf8 ]; then
    [ "$(head -c 3 "$log" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$scenario: $1: the log has no UTF-8 mark"
    grep -q "code page" "$log" && fail "$scenario: $1: a path did not reach the program whole: $(grep -a 'code page' "$log")"
  else
    [ "$1" = install ] && { grep -aq "the installer's own path cannot be named in this system's code page 1252.*$want_reach" "$log" ||
      fail "$scenario: $1: the log does not say how the installer's own path was taken"; }
    grep -aq "the current user's \"Programs\" folder cannot be named .*$want_reach" "$log" ||
      fail "$scenario: $1: the log does not say how the user's Programs folder was taken"
  fi
  grep -aq "exit code: 0" "$log" || fail "$scenario: $1: the log has no exit code 0"
}

# Registry values as `reg query` lists them, read from `reg export` (UTF-16): reg.exe prints
# into a pipe in the OEM code page, where the letters under test become "?".
#   reg_query KEY [/v NAME] [/reg:32|/reg:64]
reg_query() {
  local key=$1 name= view=
  shift
  while [ $# -gt 0 ]; do
    case $1 in
      /v) name=$2; shift ;;
      /reg:*) view=$1 ;;
    esac
    shift
  done
  local file=$work/export.reg
  rm -f "$file"
  "$WINE" reg export "$key" 'Z:'"${file//\//\\}" $view /y >/dev/null 2>&1 || return 0
  python3 - "$file" "$name" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-16").read()
for m in re.finditer(r'^"((?:[^"\\]|\\.)*)"=(?:"((?:[^"\\]|\\.)*)"|dword:([0-9a-f]{8}))$', text, re.M):
    name = re.sub(r'\\(.)', r'\1', m.group(1))
    if sys.argv[2] and name != sys.argv[2]:
        continue
    if m.group(3) is not None:
        print(f"    {name}    REG_DWORD    {hex(int(m.group(3), 16))}")
    else:
        value = re.sub(r'\\(.)', r'\1', m.group(2))
        print(f"    {name}    REG_SZ    {value}")
PY
}

# Program Files named in letters outside the code page: the entry's values carry them as they are.
if [ "$where" = programfiles ]; then
  LINK_FOLDER_FROM_WORKING_DIR=1
  pf_name='Programy Łódź'
  win_folder="C:\\$pf_name\\QX\\Mixarro"
fi

new_machine
if [ "$where" = programfiles ]; then
  mkdir -p "$WINEPREFIX/drive_c/$pf_name"
  for view in /reg:64 /reg:32; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir \
      /d "C:\\$pf_name" /f $view >/dev/null 2>&1
  done
  "$WINE" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v 'ProgramFilesDir (x86)' \
    /d "C:\\$pf_name" /f /reg:64 >/dev/null 2>&1
fi
start_dir=$(unix_path "$win_start")
mkdir -p "$start_dir"
cp "$built" "$start_dir/MixarroSetup-$edition.exe"
installer=$start_dir/MixarroSetup-$edition.exe
installer_win="$win_start\\MixarroSetup-$edition.exe"
run_expect 0 "install from $win_start" "$installer_win" -h -i
expect_profiles install
expect_log install
expect_whole
uninstall_from_entry
# The uninstaller copy runs from the program folder: it goes at the restart.
restart
expect_profiles removal
expect_log removal
expect_removed
if [ "$failures" -gt 0 ]; then
  echo "$edition $scenario: $failures failure(s)"
  exit 1
fi
echo "$edition $scenario: passed"

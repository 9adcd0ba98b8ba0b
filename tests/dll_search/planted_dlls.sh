#!/usr/bin/env bash
# The installer loads no DLL from its own folder: a DLL that leaves a mark when it is loaded
# lies beside the installer under each name that the installer loads at run time, or that a
# system DLL loads for it (user32 loads uxtheme.dll when a window is made), and Wine is told
# to prefer such a native DLL to its own (WINEDLLOVERRIDES=name=n,b). A shown start and a
# silent install (-h -i) leave no mark. The Startup folder points at a drive that is not there,
# so that the shell's folder lookup fails and the SHFOLDER.DLL fallback is taken too.
#
# Wine cannot check the DLLs of the import table this way (it has no KnownDLLs: a planted
# shell32.dll or user32.dll is mapped for the import table itself, before the first line of the
# program runs; the program then fails to start), nor version.dll, which Wine's own user32
# imports: tests/pe_check.sh keeps the import table to DLLs that Windows maps from System32
# alone.
#   planted_dlls.sh PROGRAM MARK_DLL
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mark_dll=$2
source "$here/../wine/own_prefix.sh" planted

# The names loaded at run time: SHFOLDER.DLL (the folder lookup's fallback), uxtheme.dll
# (user32, for the window), SETUPAPI.DLL (the presence probe, bound at run time).
names="shfolder uxtheme setupapi"
downloads=$WINEPREFIX/drive_c/users/Public/Downloads
mkdir -p "$downloads"
cp "$program" "$downloads/"
overrides=$WINEDLLOVERRIDES
for name in $names; do
  cp "$mark_dll" "$downloads/$name.dll"
  overrides="$overrides;$name=n,b"
done
setup="C:\\users\\Public\\Downloads\\$(basename "$program")"
"$WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
  /v Startup /t REG_EXPAND_SZ /d 'Q:\Gone\Startup' /f >/dev/null 2>&1
"$WINESERVER" -w

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
check_marks() {
  local name
  # The mark is named as the loader spelled the DLL ("SHFOLDER.DLL.loaded").
  for name in $names; do
    [ -n "$(find "$downloads" -maxdepth 1 -iname "$name.dll.loaded")" ] &&
      fail "$1: the planted $name.dll was loaded"
    find "$downloads" -maxdepth 1 -iname "$name.dll.loaded" -delete
  done
}

# A shown start: the window is made (and themed); it is ended once it is there.
(cd "$downloads" && WINEDLLOVERRIDES=$overrides "$WINE" "$setup") &
pid=$!
shown=
for _ in $(seq 1 240); do
  if xdotool search --onlyvisible --name '^QX-Audio Mixarro Installation' >/dev/null 2>&1; then
    shown=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
[ -n "$shown" ] || fail "shown start: no window"
"$WINESERVER" -k >/dev/null 2>&1
wait "$pid" 2>/dev/null
"$WINESERVER" -w >/dev/null 2>&1
check_marks "shown start"

# A silent install, from the installer's own folder as the current folder.
(cd "$downloads" && WINEDLLOVERRIDES=$overrides "$WINE" "$setup" -h -i)
rc=$?
[ "$rc" = 0 ] || fail "-h -i: exit code $rc"
"$WINESERVER" -w >/dev/null 2>&1
check_marks "-h -i"

[ "$failures" = 0 ] && echo "planted DLLs: none loaded ($names)"
exit $((failures > 0))

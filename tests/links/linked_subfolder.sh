#!/usr/bin/env bash
# Removal never deletes through a link: after an install, the catalogue folder "mp3lame" of
# the program folder is replaced by a link to a folder of the user's that holds files of the
# catalogue's names; the removal (-h -u) leaves that folder and its files as they were. Wine
# reports a Unix symbolic link with an absolute target as a reparse point, as Windows reports
# a junction or a symbolic link; Wine itself cannot make either.
#   linked_subfolder.sh PROGRAM
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source "$here/../wine/own_prefix.sh" linked

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

"$WINE" "$program" -h -i
rc=$?
"$WINESERVER" -w
[ "$rc" = 0 ] || fail "-h -i: exit code $rc"
folder=$(find "$WINEPREFIX/drive_c" -path '*/QX/Mixarro' -type d | head -1)
[ -n "$folder" ] && [ -d "$folder/mp3lame" ] || { fail "no program folder with mp3lame"; exit 1; }

users=$WINEPREFIX/drive_c/users/Public/Music/encoder
mkdir -p "$users"
for file in "$folder"/mp3lame/*; do printf 'the user'\''s %s\n' "$(basename "$file")" >"$users/$(basename "$file")"; done
printf 'the user'\''s own\n' >"$users/notes.txt"
before=$(cd "$users" && md5sum -- * | sort)
rm -rf "$folder/mp3lame"
ln -s "$users" "$folder/mp3lame"

"$WINE" "$program" -h -u
rc=$?
"$WINESERVER" -w
[ "$rc" = 0 ] || fail "-h -u: exit code $rc"
after=$(cd "$users" 2>/dev/null && md5sum -- * | sort)
[ "$before" = "$after" ] || fail "the removal deleted or changed files behind the link: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
[ -e "$folder/mp3lame" ] && [ ! -L "$folder/mp3lame" ] && fail "mp3lame is no longer a link"

[ "$failures" = 0 ] && echo "linked folder: nothing behind it deleted"
exit $((failures > 0))

#!/usr/bin/env bash
# Checks a built program: PE32 (i686) or PE32+ (x86_64), Windows GUI subsystem, and
# imports from system DLLs only (no runtime DLLs of the compiler).
#   pe_check.sh OBJDUMP PROGRAM ARCH
set -uo pipefail
objdump=$1 program=$2 arch=$3
headers=$("$objdump" -p "$program") || { echo "cannot read $program"; exit 1; }
fail=0
if [ "$arch" = i686 ]; then want="pei-i386"; magic="010b"; else want="pei-x86-64"; magic="020b"; fi
grep -q "file format $want" <<<"$headers" || { echo "not $want"; fail=1; }
grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers" || { echo "optional header magic is not $magic"; fail=1; }
grep -Eq "^Subsystem[[:space:]]+00000002" <<<"$headers" || { echo "not a Windows GUI program"; fail=1; }
system_dlls="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 setupapi comctl32 msvcrt shlwapi version"
while read -r dll; do
  base=$(tr 'A-Z' 'a-z' <<<"${dll%.dll}")
  base=${base%.DLL}
  case " $system_dlls " in
    *" $base "*) echo "imports $dll" ;;
    *) case "$base" in api-ms-win-*) echo "imports $dll" ;; *) echo "imports a non-system DLL: $dll"; fail=1 ;; esac ;;
  esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ $fail = 0 ] && echo "$program: ok"
exit $fail

#!/usr/bin/env bash
# Checks a built program: PE32 (i686) or PE32+ (x86_64), Windows GUI subsystem, and
# imports only from DLLs that every supported Windows (XP to 10 and later) maps from System32
# whatever lies beside the program: the KnownDLLs of XP that are still KnownDLLs today, and
# msvcrt, which they import (so it is mapped with them). No runtime DLL of the compiler, no
# API set (there are none on XP), and none that is looked up by the search order on some
# system: setupapi, comctl32, shlwapi and version (no longer a KnownDLL since Windows 7) are
# bound at run time from System32 if at all.
#   pe_check.sh OBJDUMP PROGRAM ARCH
set -uo pipefail
objdump=$1 program=$2 arch=$3
headers=$("$objdump" -p "$program") || { echo "cannot read $program"; exit 1; }
fail=0
if [ "$arch" = i686 ]; then want="pei-i386"; magic="010b"; else want="pei-x86-64"; magic="020b"; fi
grep -q "file format $want" <<<"$headers" || { echo "not $want"; fail=1; }
grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers" || { echo "optional header magic is not $magic"; fail=1; }
grep -Eq "^Subsystem[[:space:]]+00000002" <<<"$headers" || { echo "not a Windows GUI program"; fail=1; }
system_dlls="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 msvcrt"
while read -r dll; do
  base=$(tr 'A-Z' 'a-z' <<<"${dll%.dll}")
  base=${base%.DLL}
  case " $system_dlls " in
    *" $base "*) echo "imports $dll" ;;
    *) echo "imports a DLL that the search order may find beside the program: $dll"; fail=1 ;;
  esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ $fail = 0 ] && echo "$program: ok"
exit $fail

#!/usr/bin/env bash
# The fault injection of the test build stays out of the programs: its marker text must not be
# in any edition's program, and must be in the test program (else the check proves nothing).
#   no_fault_injection.sh MARKER TEST_PROGRAM PROGRAM...
set -uo pipefail
marker=$1 tests=$2; shift 2
fail=0
if ! grep -qaF -- "$marker" "$tests"; then
  echo "the test program $tests does not hold \"$marker\": the check would prove nothing"
  fail=1
fi
for program in "$@"; do
  if [ ! -s "$program" ]; then
    echo "$program: missing"; fail=1
  elif grep -qaF -- "$marker" "$program"; then
    echo "$program: holds the fault injection (\"$marker\")"; fail=1
  elif grep -qaF -- "FaultPointName" "$program"; then
    echo "$program: holds a symbol of the fault injection"; fail=1
  else
    echo "$program: no fault injection"
  fi
done
exit $fail

#!/usr/bin/env bash
# Exits with 0 when this machine can run 32-bit code (and so Wine's WoW64 mode, which the
# 32-bit build's tests need), with 1 and a line saying why when it cannot. A machine whose
# check cannot even be built is taken to be able: its 32-bit tests then tell.
# MIXARRO_NO_32BIT=1 makes it answer "cannot" on any machine, to try that path of the tests.
set -uo pipefail
if [ "${MIXARRO_NO_32BIT:-}" = 1 ]; then
  echo "this machine is taken not to run 32-bit code (MIXARRO_NO_32BIT=1)"
  exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d) || exit 0
trap 'rm -rf "$dir"' EXIT
cc -O0 -static -no-pie -o "$dir/compat32" "$here/compat32.c" >/dev/null 2>&1 || exit 0
# Run by a shell of its own, whose report of the fault goes nowhere.
if ! bash -c '"$0" || exit 1' "$dir/compat32" >/dev/null 2>&1; then
  echo "this machine cannot run 32-bit code: a switch to the 32-bit code segment faults" \
    "(a virtual machine without compatibility mode), so no 32-bit program starts under Wine"
  exit 1
fi
exit 0

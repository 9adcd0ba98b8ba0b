#!/usr/bin/env bash
# The project's test command: every test of every configuration.
#   native: portable logic under ASan/UBSan; win64: the program and the Windows-side tests
#   under wine64; win32: both 32-bit editions built and their tests under WoW64.
# Ends with one CTest-style closing line over all configurations; fails when any fails.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1

source tests/wine/xvfb.sh

total=0 failed=0 broken=
# Builds use both cores. The native tests (the fuzzers among them) compute, two at a time. The
# Windows-side tests mostly wait for Wine and could run four at a time, but a Wine that busy now
# and then refuses to start a program (-605) or to make a window (-1): two at a time, unless
# MIXARRO_WINE_TEST_JOBS says otherwise.
native_jobs=${MIXARRO_TEST_JOBS:-2}
wine_jobs=${MIXARRO_WINE_TEST_JOBS:-2}
for preset in native win64 win32; do
  [ $preset = native ] && jobs=$native_jobs || jobs=$wine_jobs
  echo "=== $preset"
  log=build/$preset.log; mkdir -p build
  if ! cmake --preset $preset >$log 2>&1 || ! cmake --build --preset $preset -j2 >>$log 2>&1; then
    tail -40 $log
    echo "=== $preset: build failed"
    broken="$broken $preset"
    continue
  fi
  out=$(mktemp)
  ctest --preset $preset -j"$jobs" --timeout 600 2>&1 | tee "$out"
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -1)
  if [ -z "$line" ]; then
    grep -q "No tests were found" "$out" && { rm -f "$out"; continue; }
    broken="$broken $preset"
  else
    n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$((total + n)); failed=$((failed + f))
  fi
  rm -f "$out"
done
echo
[ -n "$broken" ] && echo "configurations that did not build or run:$broken"
pct=100
[ "$total" -gt 0 ] && pct=$(( (total - failed) * 100 / total ))
[ "$failed" -gt 0 ] && [ "$pct" = 100 ] && pct=99
echo "$pct% tests passed, $failed tests failed out of $total"
[ "$failed" = 0 ] && [ -z "$broken" ] && [ "$total" -gt 0 ]

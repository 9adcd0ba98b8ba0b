#!/usr/bin/env bash
# The project's test command: every test of every configuration.
#   native: portable logic under ASan/UBSan; win64: the program and the Windows-side tests
#   under wine64; win32: both 32-bit editions built and their tests under WoW64.
# Ends with one CTest-style closing line over all configurations; fails when any fails.
#
# The order: the native and win64 builds; then the win64 tests, and beside them, at the lowest
# priority, the native tests and the win32 build; then the win32 tests. The Windows-side tests
# mostly wait for Wine and leave the processors half idle; the native tests (the fuzzers among
# them) and a build only compute, and at nice 19 they take what the Wine tests leave.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1

source tests/wine/xvfb.sh

mkdir -p build
total=0 failed=0 broken=
# Builds use both cores; the native tests run two at a time. The Windows-side tests could run
# four at a time, but a Wine that busy now and then refuses to start a program (-605) or to
# make a window (-1): two at a time, unless MIXARRO_WINE_TEST_JOBS says otherwise.
native_jobs=${MIXARRO_TEST_JOBS:-2}
wine_jobs=${MIXARRO_WINE_TEST_JOBS:-2}

# Configures and builds one preset into build/<preset>.log; 0 when it built.
build() {
  local preset=$1 jobs=$2
  cmake --preset "$preset" >"build/$preset.log" 2>&1 &&
    cmake --build --preset "$preset" -j"$jobs" >>"build/$preset.log" 2>&1
}

# Runs one preset's tests; their output goes to
# build/<preset>.tests.
run_tests() {
  local preset=$1 jobs=$2
  ctest --preset "$preset" -j"$jobs" --timeout 600 >"build/$preset.tests" 2>&1
}

# Some machines (virtual machines without the processor's 32-bit mode) cannot run any 32-bit
# program, under Wine or otherwise. There the 32-bit build registers only its checks that need
# no Wine, and the x86-64 build runs the kill checks in its place (cmake/windows.cmake decides
# it with the same probe); the closing lines say what was left out.
no_32bit=
if ! no_32bit=$(bash tests/wine/can_run_32bit.sh); then
  echo "test: $no_32bit"
fi

# Prints a preset's test output and adds its closing line to the totals.
account() {
  local preset=$1 out=build/$1.tests line n f
  echo "=== $preset"
  cat "$out"
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -1)
  if [ -z "$line" ]; then
    grep -q "No tests were found" "$out" || broken="$broken $preset"
    return
  fi
  n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  f=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$((total + n)); failed=$((failed + f))
}

build_failed() {
  tail -40 "build/$1.log"
  echo "=== $1: build failed"
  broken="$broken $1"
}

rm -f build/*.tests build/win32.built
native_built=1 win64_built=1
build native 2 || { build_failed native; native_built=0; }
build win64 2 || { build_failed win64; win64_built=0; }

# Beside the win64 tests: the native tests, then the win32 build.
(
  renice -n 19 $BASHPID >/dev/null
  [ $native_built = 1 ] && run_tests native "$native_jobs"
  build win32 2 && echo ok >build/win32.built
) &
beside=$!
[ $win64_built = 1 ] && run_tests win64 "$wine_jobs"
wait $beside

[ $native_built = 1 ] && account native
[ $win64_built = 1 ] && account win64
if [ -f build/win32.built ]; then
  run_tests win32 "$wine_jobs"
  account win32
else
  build_failed win32
fi

echo
[ -n "$broken" ] && echo "configurations that did not build or run:$broken"
pct=100
[ "$total" -gt 0 ] && pct=$(( (total - failed) * 100 / total ))
[ "$failed" -gt 0 ] && [ "$pct" = 100 ] && pct=99
echo "$pct% tests passed, $failed tests failed out of $total"
[ -n "$no_32bit" ] &&
  echo "NOT RUN: the 32-bit build's tests under Wine ($no_32bit); the kill checks ran with the x86-64 build"
[ "$failed" = 0 ] && [ -z "$broken" ] && [ "$total" -gt 0 ]

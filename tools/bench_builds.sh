#!/usr/bin/env bash
# Two builds of the installer against each other, under Wine, side by side: "-h -i" of each
# in turn, every run in a fresh prefix, and the figures read from each run's own log (times
# since the process was created), so that Wine's start and the desktop's, which vary more than
# most changes, stay out of the comparison:
#   tools/bench_builds.sh A.exe B.exe [--runs N] [--build DIR]
# Prints every run (the whole run, the first payload file, the files phase from the first to
# the last payload file, and from the installer's copy to the end), the medians of each build
# and the ratio A/B of the medians. A timing program of one part (tests/bench/payload_timing.cpp)
# can say otherwise than the installer around it: this is the figure to decide a change by.
# Build both from the same payload folder (tools/bench.sh makes the full-size one), e.g. an
# earlier commit in a worktree of its own:
#   cmake --preset win32 -B /tmp/old -DMIXARRO_PAYLOAD_DIR_INDIGO=$PWD/build/bench/Indigo
set -euo pipefail
cd "$(dirname "$0")/.."
usage() { echo "usage: tools/bench_builds.sh A.exe B.exe [--runs N] [--build DIR]" >&2; exit 2; }
[ $# = 2 ] || [ $# = 4 ] || [ $# = 6 ] || usage
a=$(realpath "$1") b=$(realpath "$2")
shift 2
runs=12 build=build/bench
for _ in 1 2; do
  [ $# = 0 ] && break
  case "$1" in --runs) runs=$2 ;; --build) build=$2 ;; *) usage ;; esac
  shift 2
done
mkdir -p "$build"
build=$(cd "$build" && pwd)
log=$build/bench_builds.log
: >"$log"

source tests/bench/wine_bench.sh
# The same prefix as tools/bench.sh: 64-bit Windows 7.
template=$build/wine/template-win7
bench_template "$template" "$log" || { echo "bench: no prefix template; see $log" >&2; exit 1; }
prefix=$build/wine/builds-run

# One install in a fresh prefix; prints "total first_file files_phase copy_to_end exit_code"
# in milliseconds from its log ("-" where the log has no such line).
run_one() {
  rm -rf "$prefix"
  bash tests/wine/prefix.sh copy "$template" "$prefix" >>"$log" 2>&1
  local rc=0
  WINEPREFIX=$prefix "$WINE" "$1" -h -i >>"$log" 2>&1 || rc=$?
  WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true
  local runlog
  runlog=$(ls "$prefix"/drive_c/users/*/Temp/MixarroSetup-*.log 2>/dev/null | head -1)
  awk -v rc=$rc '
    { s = $0; sub(/^\[ */, "", s); t = s + 0 }  # "[   372 ms] ..."
    /\] file / { if (first == "") first = t; last = t }
    /\] copy the installer to / { copy = t }
    /\] summary: / { total = t }
    END {
      if (total == "") total = "-"
      if (first == "") { first = "-"; phase = "-" } else phase = last - first
      tail = (copy == "" || total == "-") ? "-" : total - copy
      print total, first, phase, tail, rc
    }' "${runlog:-/dev/null}"
  rm -rf "$prefix"
}

results=$build/builds-runs.txt
: >"$results"
printf '%-5s %-3s %8s %10s %8s %12s %4s\n' run exe "ms" "1st file" files "copy to end" exit
for r in $(seq 1 "$runs"); do
  # Each build goes first in every other round.
  order="A B"
  [ $((r % 2)) = 0 ] && order="B A"
  for which in $order; do
    exe=$a
    [ "$which" = B ] && exe=$b
    line=$(run_one "$exe")
    echo "$r $which $line" >>"$results"
    read -r total first phase tail rc <<<"$line"
    printf '%-5s %-3s %8s %10s %8s %12s %4s\n' "$r" "$which" "$total" "$first" "$phase" "$tail" "$rc"
  done
done

column_median() {
  awk -v w="$1" -v c="$2" '$2 == w && $c != "-" { print $c }' "$results" | median %g
}
echo
echo "medians over $runs runs (milliseconds since each process was created):"
printf '  %-3s %8s %10s %8s %12s  %s\n' exe total "1st file" files "copy to end" program
for which in A B; do
  exe=$a
  [ "$which" = B ] && exe=$b
  printf '  %-3s %8s %10s %8s %12s  %s\n' "$which" "$(column_median $which 3)" \
    "$(column_median $which 4)" "$(column_median $which 5)" "$(column_median $which 6)" "$exe"
done
awk -v a="$(column_median A 3)" -v b="$(column_median B 3)" -v fa="$(column_median A 5)" \
  -v fb="$(column_median B 5)" 'BEGIN {
  if (b > 0) printf "ratio A/B of the medians: whole run %.3f", a / b
  if (fb > 0) printf ", files phase %.3f", fa / fb
  print "" }'
failed=$(awk '$7 != 0 { n++ } END { print n + 0 }' "$results")
[ "$failed" = 0 ] || echo "bench: WARNING: $failed runs did not end with 0"

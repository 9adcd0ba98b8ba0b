# Sourced by the install benchmarks (tools/bench.sh, tools/bench_builds.sh) from the project
# root: Wine as the tests call it, without the menu builder (a process per saved link, which
# nothing here looks at), and the helpers both benchmarks share.
source tests/wine/env.sh
source tests/wine/xvfb.sh
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

# bench_template DIR LOG: the prefix that every run copies, reporting 64-bit Windows 7, made
# once in DIR (its output goes to LOG); 1 when it cannot be made.
bench_template() {
  local template=$1 log=$2
  [ -f "$template/.win7" ] && return 0
  echo "bench: making the Wine prefix template" >&2
  rm -rf "$template"
  bash tests/wine/prefix.sh template "$template" >>"$log" 2>&1 &&
    bash tests/wine/prefix.sh winver "$template" win7 >>"$log" 2>&1 &&
    touch "$template/.win7"
}

# The median of the numbers on standard input, printed with FORMAT (default "%.3f"); "-" for
# none.
median() {
  sort -g | awk -v f="${1:-%.3f}\n" '{ v[NR] = $1 } END { if (!NR) { print "-"; exit }
    if (NR % 2) printf f, v[(NR + 1) / 2]; else printf f, (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

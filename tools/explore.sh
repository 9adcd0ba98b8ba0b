#!/usr/bin/env bash
# The whole exploration of the machine's states (tests/explorer/explore.sh without a bound):
# builds the deliverable's configuration (win32; win64 on a machine that cannot run 32-bit
# code), explores every state that the runs reach from a clean machine, and writes the table
# (states.md), the Graphviz source (states.dot) and its picture (states.png, states.svg).
#   tools/explore.sh [--depth N] [--out DIR]   (default out: build/explorer)
#   tools/explore.sh --guide                   also puts the picture and the table into the
#                                              deployment guide (docs/deploying.md)
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
preset=win32
bash tests/wine/can_run_32bit.sh >/dev/null || preset=win64
out=build/explorer guide= args=()
while [ $# -gt 0 ]; do
  case $1 in
    --depth) args+=(--depth "$2"); shift 2 ;;
    --out) out=$2; shift 2 ;;
    --guide) guide=1; shift ;;
    *) echo "usage: tools/explore.sh [--depth N] [--out DIR] [--guide]" >&2; exit 2 ;;
  esac
done
echo "explore: the $preset build"
cmake --preset "$preset" >/dev/null &&
  cmake --build --preset "$preset" -j2 --target MixarroSetup-Indigo MixarroSetup-Cobalt \
    scenario_holder explore_pending mixarro_standins >/dev/null || exit 1
bash tests/explorer/explore.sh "build/$preset" "${args[@]}" --out "$out"
rc=$?
if [ -n "$guide" ] && [ -f "$out/states.png" ]; then
  cp "$out/states.png" docs/machine-states.png
  # The table between its two marks in the guide's recovery section.
  awk -v table="$out/states.md" '
    /^<!-- end of the states table -->/ { skip = 0 }
    !skip { print }
    /^<!-- states table:/ { print ""; while ((getline line < table) > 0) print line; print ""; skip = 1 }
  ' docs/deploying.md >docs/deploying.md.new && mv docs/deploying.md.new docs/deploying.md
  echo "explore: docs/machine-states.png and the guide's table updated"
fi
exit $rc

#!/usr/bin/env bash
# The install benchmark: the 32-bit Indigo installer against an NSIS installer doing the same
# work on the same bytes (tests/bench/peer.nsi, files stored), under Wine WoW64, side by side.
#   tools/bench.sh [--runs N] [--build DIR]
# Builds the full-size Indigo input folder (every catalogue name; the stand-ins where a program
# or module is run or loaded, the sample texts and pictures, random bytes in every other program
# and module, 61,852,540 bytes in all), the 32-bit installer from it, the NSIS peer and a program
# that does nothing; then runs Wine's start alone, "MixarroSetup-Indigo.exe -h -i" and the peer
# N times (default 15) interleaved, each in a fresh prefix reporting 64-bit Windows 7 with Wine's
# menu builder off. Prints every run, the medians, the medians above Wine's start and their
# ratio; for each installer the time to its first payload file, the files phase (first to last
# payload file written, from the files' change times) and the time per shortcut. Ends with the
# extraction work against one plain MD5 pass, host and 32-bit (tests/bench/payload_timing.cpp).
# Needs Debian's nsis package (makensis) for the peer only; installs it when missing.
# On a machine that cannot run 32-bit code (tests/wine/can_run_32bit.sh) both subjects are their
# x86-64 builds instead (the x86-64 installer and the peer built for amd64), and it says so: the
# same work on the same kind of bytes, but not the deliverable.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=15 build=build/bench
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "usage: tools/bench.sh [--runs N] [--build DIR]" >&2; exit 2 ;;
  esac
done
mkdir -p "$build"
build=$(cd "$build" && pwd)
log=$build/bench.log
: >"$log"
step() { echo "bench: $*" >&2; }
fail() { echo "bench: $*; see $log" >&2; tail -20 "$log" >&2; exit 1; }

bash tools/setup.sh >>"$log" 2>&1 || fail "tools/setup.sh failed"
# Both subjects are 32-bit programs, or on a machine without 32-bit code their x86-64 builds.
preset=win32 arch=i686 bits=32-bit peer_target= program_files="Program Files (x86)"
if ! why=$(bash tests/wine/can_run_32bit.sh); then
  step "$why: the x86-64 builds stand in for both subjects"
  preset=win64 arch=x86_64 bits=x86-64 peer_target=-DAMD64 program_files="Program Files"
fi
if ! command -v makensis >/dev/null; then
  step "installing Debian's nsis package (for the benchmark's peer only)"
  as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends nsis \
    >>"$log" 2>&1 || fail "cannot install nsis"
fi

# Host tools and the stand-ins.
step "building the packing tool and the stand-ins"
cmake --preset native -B "$build/native" >>"$log" 2>&1 || fail "native configure failed"
cmake --build "$build/native" -j2 --target mixarro-pack mixarro_standins payload_timing \
  >>"$log" 2>&1 || fail "native build failed"
pack=$build/native/mixarro-pack

# The full-size input folder: the sample folder of the installer being measured, whose ASIO
# modules it loads in process, then random bytes in every program and module that the install
# neither runs nor loads, enough of them that the files sum to the full-size payload.
step "assembling the full-size Indigo folder"
input=$build/Indigo
cmake -DPACK="$pack" -DEDITION=Indigo -DSTANDINS="$build/native/standins" -DARCH=$arch \
  -DSOURCE="$root/samples" -DOUT="$input" -P samples/assemble.cmake >>"$log" 2>&1 \
  || fail "assembling the input folder failed"
files_total=61852540
mapfile -t names < <("$pack" names --edition indigo)
fill=() kept=0
for name in "${names[@]}"; do
  path=$input/${name//\\//}
  lower=${name,,}
  case "$lower" in
    *_setup.exe | *_setup_x64.exe | *asiodriver.dll | *asiodriver64.dll | qxregsvr64.exe)
      kept=$((kept + $(stat -c %s "$path"))) ;;
    *.exe | *.dll | *.sys) fill+=("$path") ;;
    *) kept=$((kept + $(stat -c %s "$path"))) ;;
  esac
done
missing=$((files_total - kept))
each=$((missing / ${#fill[@]}))
rest=$((missing - each * ${#fill[@]}))
# A fixed key, so that every run of the benchmark packs the same bytes.
random_bytes() {
  # openssl ends on the broken pipe once head has its bytes.
  { openssl enc -aes-128-ctr -nosalt -pass pass:"mixarro-bench-$2" -pbkdf2 </dev/zero \
    2>/dev/null || true; } | head -c "$1"
}
i=0
for path in "${fill[@]}"; do
  size=$each
  if [ $i -eq 0 ]; then size=$((each + rest)); fi
  random_bytes "$size" "$i" >"$path"
  i=$((i + 1))
done
sum=$(find "$input" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
[ "$sum" = "$files_total" ] || fail "the input folder holds $sum bytes, not $files_total"

# The installer from that folder, Wine's do-nothing program and the timing program.
step "building the $bits installer from it"
winbuild=$build/$preset
cmake --preset $preset -B "$winbuild" -DMIXARRO_PAYLOAD_DIR_INDIGO="$input" >>"$log" 2>&1 \
  || fail "$preset configure failed"
cmake --build "$winbuild" -j2 --target MixarroSetup-Indigo bench_noop payload_timing \
  >>"$log" 2>&1 || fail "$preset build failed"
blob=$winbuild/payload/Indigo.blob
blob_size=$(stat -c %s "$blob")
[ "$blob_size" = 61871884 ] || fail "the payload blob has $blob_size bytes, not 61871884"
mixarro=$winbuild/MixarroSetup-Indigo.exe
noop=$winbuild/bench_noop.exe

step "building the NSIS peer"
size_kb=$(((files_total + 1023) / 1024))
makensis -NOCD -V2 -DSRC="$input" -DSIZEKB=$size_kb -DOUT="$build/peer.exe" $peer_target \
  tests/bench/peer.nsi >>"$log" 2>&1 || fail "makensis failed"
peer=$build/peer.exe

# The prefixes: one template reporting Windows 7, a fresh copy of it per run.
source tests/bench/wine_bench.sh
template=$build/wine/template-win7
bench_template "$template" "$log" || fail "no prefix template"
prefix=$build/wine/run
program_folder="drive_c/$program_files/QX/Mixarro"
user_menu="drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
common_menu="drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
# The payload's paths as they lie in the program folder, for picking them out of what is there.
payload_list=$build/payload-files.txt
for name in "${names[@]}"; do echo "${name//\\//}"; done | tr 'A-Z' 'a-z' | sort >"$payload_list"

now() { date +%s.%N; }
# run KIND EXE ARGS...: one run in a fresh prefix; prints "seconds first_file files_phase
# per_shortcut shortcuts payload_files exit_code" (times in seconds, - where there is nothing).
run_one() {
  local kind=$1 exe=$2
  shift 2
  rm -rf "$prefix"
  bash tests/wine/prefix.sh copy "$template" "$prefix" >>"$log" 2>&1
  local start end rc=0
  start=$(now)
  WINEPREFIX=$prefix "$WINE" "$exe" "$@" >>"$log" 2>&1 || rc=$?
  end=$(now)
  WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix "$WINESERVER" -w >/dev/null 2>&1 || true
  local files="- - -" shortcuts="- 0"
  if [ "$kind" != wine ]; then
    # Change times: a write sets them, and so does NSIS when it gives a file its stored date.
    files=$(cd "$prefix/$program_folder" 2>/dev/null && find . -type f -printf '%C@ %P\n' \
      | awk -v list="$payload_list" -v start="$start" '
          BEGIN { while ((getline line < list) > 0) want[line] = 1 }
          { t = $1; $1 = ""; name = tolower(substr($0, 2)); if (!(name in want)) next
            n++; if (n == 1 || t < first) first = t; if (n == 1 || t > last) last = t }
          END { if (n) printf "%.3f %.3f %d", first - start, last - first, n; else print "- - 0" }')
    # The median gap from one shortcut to the next, in milliseconds, and how many there are.
    local times
    times=$({ find "$prefix/$user_menu" "$prefix/$common_menu" -name '*.LNK' -printf '%C@\n' \
      2>/dev/null || true; } | sort -g)
    local links
    links=$(printf '%s\n' "$times" | grep -c . || true)
    local gap
    gap=$(printf '%s\n' "$times" | awk 'NF { if (n++) printf "%.3f\n", ($1 - p) * 1000; p = $1 }' \
      | median)
    shortcuts="$gap $links"
  fi
  rm -rf "$prefix"
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') $files $shortcuts $rc"
}

step "running $runs rounds (Wine's start, MixarroSetup, the NSIS peer), interleaved"
results=$build/runs.txt
: >"$results"
printf '%-5s %-8s %8s %10s %10s %12s %5s %6s %4s\n' run subject seconds "1st file" "files" \
  "ms/shortcut" links files exit
for r in $(seq 1 "$runs"); do
  # Each subject takes each place in the order in turn.
  case $((r % 3)) in
    1) order="wine mixarro nsis" ;;
    2) order="mixarro nsis wine" ;;
    0) order="nsis wine mixarro" ;;
  esac
  for subject in $order; do
    case $subject in
      wine) line=$(run_one wine "$noop") ;;
      mixarro) line=$(run_one mixarro "$mixarro" -h -i) ;;
      nsis) line=$(run_one nsis "$peer") ;;
    esac
    echo "$r $subject $line" >>"$results"
    read -r secs first phase count per links rc <<<"$line"
    printf '%-5s %-8s %8s %10s %10s %12s %5s %6s %4s\n' "$r" "$subject" "$secs" "$first" "$phase" \
      "$per" "$links" "$count" "$rc"
  done
done

column_median() {  # subject column
  awk -v s="$1" -v c="$2" '$2 == s && $c != "-" { print $c }' "$results" | median
}
echo
echo "medians over $runs runs (seconds; shortcut gaps in ms):"
printf '  %-8s %8s %10s %10s %12s\n' subject total "1st file" files "ms/shortcut"
for subject in wine mixarro nsis; do
  printf '  %-8s %8s %10s %10s %12s\n' "$subject" "$(column_median $subject 3)" \
    "$(column_median $subject 4)" "$(column_median $subject 5)" "$(column_median $subject 7)"
done
wine_m=$(column_median wine 3)
mixarro_m=$(column_median mixarro 3)
nsis_m=$(column_median nsis 3)
awk -v w="$wine_m" -v m="$mixarro_m" -v n="$nsis_m" 'BEGIN {
  printf "above Wine'"'"'s start: MixarroSetup %.3f s, NSIS peer %.3f s\n", m - w, n - w
  printf "ratio MixarroSetup / NSIS peer above Wine'"'"'s start: %.3f (goal: at most 0.9)\n",
    (m - w) / (n - w) }'
awk -v w="$wine_m" -v a="$(column_median mixarro 4)" -v b="$(column_median nsis 4)" 'BEGIN {
  printf "to the first payload file above Wine'"'"'s start: MixarroSetup %.3f s, NSIS peer %.3f s\n",
    a - w, b - w }'
failed=$(awk '$2 != "wine" && ($9 != 0 || $6 != 124) { n++ } END { print n + 0 }' "$results")
[ "$failed" = 0 ] || echo "bench: WARNING: $failed installer runs did not end with 0 and 124 files"

echo
echo "extraction work against one plain MD5 pass (interleaved rounds):"
echo "  host build:"
"$build/native/payload_timing" "$blob" 15 | tail -3 \
  | sed 's/^/    /'
echo "  $bits build under Wine:"
rm -rf "$prefix"
bash tests/wine/prefix.sh copy "$template" "$prefix" >>"$log" 2>&1
WINEPREFIX=$prefix "$WINE" "$winbuild/payload_timing.exe" "$blob" 15 | tail -3 | sed 's/^/    /'
WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true
WINEPREFIX=$prefix "$WINESERVER" -w >/dev/null 2>&1 || true
rm -rf "$prefix"

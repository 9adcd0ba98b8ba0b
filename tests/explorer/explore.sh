#!/usr/bin/env bash
# The machine's lifecycle as a state machine: from a clean machine, every run that users and
# deployment tools make (each edition's "-h -i" and "-h -u", the uninstall that Programs and
# Features starts, a restart, a host application holding an ASIO module during that uninstall,
# an install killed after its payload, a sub-setup that fails once), breadth first over the
# states that those runs reach. A state is a signature read from the machine (the device
# classes present, per edition whether the program folder holds it whole, in part or not at
# all, ".del" files, the edition of the uninstaller copy and of the entry, the shortcut groups,
# the operations pending at the restart); equal signatures are one state, kept as one snapshot
# of the Wine prefix, and every transition starts from that snapshot.
#
# On every transition: the exit code tells the truth (an install that gives 0 leaves the
# edition whole; a removal that gives 0 leaves no device of the product, no entry and no
# shortcut group; a run that does nothing or is refused changes nothing), the user's places
# (a file in Documents, a "."-named folder in the program folder, another program's uninstall
# key) stay, and no run hangs. From every state reached: the recovery of docs/deploying.md
# reaches the clean machine ("absent", from which each edition's "-h -i" gives that edition
# whole) in the runs that the guide states; a state from which it does not is a dead end,
# reported with the path that leads there.
#
#   explore.sh BUILD_DIR [--depth N] [--actions A,B,...] [--installers DIR] [--out DIR]
#     --depth N        expand the states up to N runs from the clean machine (default: all)
#     --actions LIST   expand the states by these runs only (default: all of ACTIONS below);
#                      the recovery checks run what they need in any case
#     --installers DIR take MixarroSetup-Indigo.exe and MixarroSetup-Cobalt.exe from DIR
#     --out DIR        where the table, the Graphviz source and picture go (default BUILD_DIR/explorer)
# Exit 0 when no check failed and no dead end was found.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift
depth_bound=-1
only_actions=
installers=$build
out=$build/explorer
while [ $# -gt 0 ]; do
  case $1 in
    --depth) depth_bound=$2; shift 2 ;;
    --actions) only_actions=$2; shift 2 ;;
    --installers) installers=$(cd "$2" && pwd); shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: explore.sh BUILD_DIR [--depth N] [--actions A,B,...] [--installers DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

source "$here/../wine/env.sh"
MIXARRO_OWN_XVFB=1 source "$here/../wine/xvfb.sh"
[ -n "${MIXARRO_XVFB_PID:-}" ] || exit 1
"$here/../wine/prefix.sh" template "$build/wine/template" || exit 1

mkdir -p "$out"
out=$(cd "$out" && pwd)
snaps=$(mktemp -d "$build/wine/explore.XXXXXX")
work=$snaps/work
holder=$build/scenario_holder.exe
pending=$build/explore_pending.exe
start_time=$(date +%s)

cleanup() {
  trap - EXIT
  if [ -d "$work" ]; then
    WINEPREFIX=$work "$WINESERVER" -k >/dev/null 2>&1
    WINEPREFIX=$work "$WINESERVER" -w >/dev/null 2>&1
  fi
  rm -rf "$snaps"
  mixarro_xvfb_stop
}
trap cleanup EXIT

arch=$(file -b "$installers/MixarroSetup-Indigo.exe" | grep -q 'Intel 80386' && echo i686 || echo x86_64)
[ "$arch" = i686 ] && pf_name='Program Files (x86)' || pf_name='Program Files'
win_folder="C:\\$pf_name\\QX\\Mixarro"
user=$(id -un)
pf_rel="drive_c/$pf_name/QX/Mixarro"
user_group_rel="drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
common_group_rel="drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QX Audio/Mixarro"
documents_rel="drive_c/users/$user/Documents"
# The result of a switch run refused because the entry names another setup program.
FOREIGN_RESULT=-30

# The edition letters and what belongs to each: the device classes (in the order of the
# signature's bits), the payload's digests, the shortcuts of each group.
declare -A name=([I]=Indigo [C]=Cobalt) classes=([I]=111 [C]=110) links=([I]=13 [C]=10)
declare -A entries=() version=([3.0.2.8]=I [2.0.6.2]=C)
for e in I C; do
  (cd "$build/sample-payload/${name[$e]}" && find . -type f -exec md5sum {} + | sed 's| \./| |' | sort) \
    >"$snaps/payload.$e"
  entries[$e]=$(wc -l <"$snaps/payload.$e")
done
GUIDS=(d8c6b17a-215d-4082-9341-1e1677ae6b55 5573cc9c-df43-40bf-8eb3-d79e59a5a481
  7b202778-4862-4b61-860e-fa1e657ba3c8)

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# ---- the machine ---------------------------------------------------------------------------

# A copy of a snapshot that a session may change: the folders and registry files that runs
# write are copied for real, everything else is linked.
copy_prefix() {
  local src=$1 dst=$2 d
  rm -rf "$dst"
  cp -al "$src" "$dst"
  for d in "drive_c/Program Files" "drive_c/Program Files (x86)" drive_c/ProgramData drive_c/users \
    drive_c/windows/inf drive_c/windows/temp; do
    [ -e "$src/$d" ] || continue
    rm -rf "${dst:?}/$d"
    cp -a "$src/$d" "$dst/$d"
  done
  for d in "$dst"/*.reg; do cp --remove-destination "$src/$(basename "$d")" "$d"; done
}

session_end() {
  WINEPREFIX=$work "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$work "$WINESERVER" -w >/dev/null 2>&1
}

# Starts a session on the work prefix. As a restart (`boot` 1) it carries out what is pending;
# otherwise the pending operations are set aside before and put back after the boot.
session_start() {
  local boot=$1 set_aside=0
  if [ "$boot" = 0 ] && grep -q '^"PendingFileRenameOperations"=' "$work/system.reg"; then
    sed -i 's/^"PendingFileRenameOperations"=/"MixarroExplorerPending"=/' "$work/system.reg"
    set_aside=1
  fi
  WINEPREFIX=$work "$WINESERVER" -p
  # The boot comes with the session's first program: the action's own, unless something must
  # be put back after the boot and before the action.
  [ "$boot" = 1 ] || [ "$set_aside" = 1 ] || return 0
  WINEPREFIX=$work "$WINE" cmd /c echo >/dev/null 2>&1
  if [ "$set_aside" = 1 ]; then
    WINEPREFIX=$work "$WINE" "$pending" >/dev/null 2>&1 || fail "cannot put back the pending operations"
  fi
}

# The section of a registry file whose key (as Wine writes it) matches the pattern.
reg_section() {
  PAT=$2 awk '/^\[/ { on = (tolower($0) ~ tolower(ENVIRON["PAT"])) } on' "$1"
}

# The state signature of a prefix whose session has ended.
signature() {
  local p=$1 dev= g e n files del copy entry v ul cl pend
  for g in "${GUIDS[@]}"; do
    if G=$g awk 'BEGIN { g = ENVIRON["G"] }
        /^\[/ { on = (index(tolower($0), "deviceclasses\\\\{" g "}") && $0 ~ /\\\\#\\\\Control\]/) }
        on && /^"Linked"=dword:00000001/ { found = 1 } END { exit !found }' "$p/system.reg"; then
      dev+=1
    else
      dev+=0
    fi
  done
  files=$( [ -d "$p/$pf_rel" ] && (cd "$p/$pf_rel" && find . -type f -not -path './.user/*' \
    -exec md5sum {} + | sed 's| \./| |' | sort) )
  local part=""
  for e in I C; do
    n=$(comm -12 <(echo "$files") "$snaps/payload.$e" | grep -c .)
    if [ "$n" = "${entries[$e]}" ]; then part+=" $e=whole"
    elif [ "$n" = 0 ]; then part+=" $e=none"
    else part+=" $e=part"; fi
  done
  del=$(grep -ci '\.del$' <<<"$files")
  [ "$del" -gt 0 ] && del=1
  copy=
  grep -q ' MixarroSetup-Indigo.exe$' <<<"$files" && copy+=I
  grep -q ' MixarroSetup-Cobalt.exe$' <<<"$files" && copy+=C
  v=$(reg_section "$p/system.reg" 'Uninstall\\\\QX:Mixarro \{17359A74-1236-5467\}\]' |
    sed -n 's/^"DisplayVersion"="\(.*\)"$/\1/p' | head -1)
  if [ -z "$v" ]; then
    reg_section "$p/system.reg" 'Uninstall\\\\QX:Mixarro \{17359A74-1236-5467\}\]' | grep -q '^\[' &&
      entry='?' || entry=-
  else
    entry=${version[$v]:-?}
  fi
  ul=$(find "$p/$user_group_rel" -maxdepth 1 -iname '*.lnk' 2>/dev/null | wc -l)
  cl=$(find "$p/$common_group_rel" -maxdepth 1 -iname '*.lnk' 2>/dev/null | wc -l)
  [ -d "$p/$user_group_rel" ] || ul=-
  [ -d "$p/$common_group_rel" ] || cl=-
  pend=0
  reg_section "$p/system.reg" 'Control\\\\Session Manager\]' |
    grep -q '^"\(PendingFileRenameOperations\|MixarroExplorerPending\)"=' && pend=1
  echo "dev=$dev$part del=$del copy=${copy:--} entry=$entry links=$ul/$cl pend=$pend"
}

# The exit code as the program gave it (the shell sees its low 8 bits).
signed() { case $1 in - | n/a) echo "$1" ;; *) echo $(($1 > 127 ? $1 - 256 : $1)) ;; esac; }

field() { sed -n "s/.*\b$2=\([^ ]*\).*/\1/p" <<<"$1"; }

# The user's places that no run may touch.
plant_user_places() {
  mkdir -p "$work/$documents_rel" "$work/$pf_rel/.user"
  echo "the user's own" >"$work/$documents_rel/mine.txt"
  echo "kept by the user" >"$work/$pf_rel/.user/notes.txt"
  WINEPREFIX=$work "$WINE" reg add \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\OtherVendorTool' \
    /v DisplayName /d "Other Vendor Tool" /f >/dev/null 2>&1
  WINEPREFIX=$work "$WINE" reg add \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\OtherVendorTool' \
    /v DisplayName /d "Other Vendor Tool" /f /reg:32 >/dev/null 2>&1
}

user_places_intact() {
  local p=$1
  [ "$(cat "$p/$documents_rel/mine.txt" 2>/dev/null)" = "the user's own" ] || { echo "Documents\\mine.txt"; return 1; }
  [ "$(cat "$p/$pf_rel/.user/notes.txt" 2>/dev/null)" = "kept by the user" ] || { echo ".user\\notes.txt"; return 1; }
  [ "$(reg_section "$p/system.reg" 'Uninstall\\\\OtherVendorTool\]' | grep -c '^"DisplayName"="Other Vendor Tool"')" -ge 1 ] ||
    { echo "the OtherVendorTool uninstall key"; return 1; }
}

# ---- the actions ---------------------------------------------------------------------------

ACTIONS=(I.i I.u C.i C.u entry.u restart held.entry.u kill.I.i kill.C.i fail.I.i fail.I.u)
EXPAND=("${ACTIONS[@]}")
if [ -n "$only_actions" ]; then
  IFS=, read -r -a EXPAND <<<"$only_actions"
  for a in "${EXPAND[@]}"; do
    [[ " ${ACTIONS[*]} " == *" $a "* ]] || { echo "explore.sh: no action $a (${ACTIONS[*]})" >&2; exit 2; }
  done
fi

temp_folder() { echo "$work/drive_c/users/$user/Temp"; }
newest_log() { ls -t "$(temp_folder)"/MixarroSetup-*.log 2>/dev/null | head -1; }

# A switch run with a time limit: a run that does not end within it hangs (exit 124).
run_limited() { WINEPREFIX=$work timeout -k 5 180 "$WINE" "$@" >/dev/null 2>&1; }

# The programs that a killed run started go on and end on their own; wait for them.
# A program still running after the wait is left to the next step, which sees it.
wait_for_started_programs() { wait_for_prefix_programs "$work" || true; }

# The entry's QuietUninstallString split into the program and its switches (as
# Programs and Features starts it); empty when there is no entry.
quiet_program=
quiet_switches=
read_quiet_string() {
  local v
  v=$(reg_section "$work/system.reg" 'Uninstall\\\\QX:Mixarro \{17359A74-1236-5467\}\]' |
    sed -n 's/^"QuietUninstallString"="\(.*\)"$/\1/p' | head -1 | sed 's/\\\\/\\/g; s/\\"/"/g')
  quiet_program=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$v")
  quiet_switches=$(sed -n 's/^"[^"]*" *//p' <<<"$v")
}

# The edition that a run of the action is, in the state with entry `entry`: I, C, or "-" when
# the action starts no installer.
action_edition() {
  local action=$1 entry=$2
  case $action in
    restart) echo - ;;
    *entry.u) [ "$entry" = I ] || [ "$entry" = C ] && echo "$entry" || echo - ;;
    *) local e=${action%.*}; echo "${e##*.}" ;;
  esac
}

# Does the action in the work prefix's live session; sets `rc` (the exit code as the shell
# sees it, "-" for none) and `applicable` (0 when the action has nothing to start).
do_action() {
  local action=$1 log_before runner held_pid n
  rc=- applicable=1
  case $action in
    restart)
      session_end
      session_start 1
      ;;
    I.i | I.u | C.i | C.u | fail.I.i | fail.I.u)
      local e=${action%.*} sw=${action##*.}
      e=${e##*.}
      if [ "${action%%.*}" = fail ]; then
        MIXARRO_EXIT_QXMXAUX_SETUP=-1 run_limited "$installers/MixarroSetup-${name[$e]}.exe" -h "-$sw"
      else
        run_limited "$installers/MixarroSetup-${name[$e]}.exe" -h "-$sw"
      fi
      rc=$?
      ;;
    entry.u | held.entry.u)
      read_quiet_string
      [ -n "$quiet_program" ] || { applicable=0; return; }
      if [ "$action" = held.entry.u ]; then
        [ -f "$work/$pf_rel/qxmxins_asiodriver.dll" ] || { applicable=0; return; }
        cp "$holder" "$work/drive_c/holder.exe"
        rm -f "$work/drive_c/held"
        WINEPREFIX=$work "$WINE" 'C:\holder.exe' 'C:\held' "$win_folder\\qxmxins_asiodriver.dll" >/dev/null 2>&1 &
        held_pid=$!
        for _ in $(seq 1 120); do
          [ -f "$work/drive_c/held" ] && break
          kill -0 "$held_pid" 2>/dev/null || break
          sleep 0.25
        done
      fi
      # shellcheck disable=SC2086
      run_limited "$quiet_program" $quiet_switches
      rc=$?
      if [ -n "${held_pid:-}" ]; then
        kill "$held_pid" 2>/dev/null
        wait "$held_pid" 2>/dev/null
        sleep 1
      fi
      ;;
    kill.I.i | kill.C.i)
      local e=${action#kill.}
      e=${e%.i}
      log_before=$(newest_log)
      WINEPREFIX=$work "$WINE" "$installers/MixarroSetup-${name[$e]}.exe" -h -i >/dev/null 2>&1 &
      runner=$!
      kill_at_log_lines "$runner" "$log_before" '] file ' "${entries[$e]}" 6000
      wait_for_started_programs
      ;;
  esac
}

# ---- the graph -----------------------------------------------------------------------------

declare -A state_of=() sig_of=() depth_of=() parent_of=() via_of=() edge=() edge_rc=()
state_count=0
transition_count=0
queue=()

# The state of the work prefix (after its session ended): an existing one, or a new one whose
# snapshot the work prefix becomes. Sets `found`.
take_state() {
  local depth=$1 parent=$2 via=$3 sig
  sig=$(signature "$work")
  if [ -n "${state_of[$sig]:-}" ]; then
    found=${state_of[$sig]}
    rm -rf "$work"
    return
  fi
  found=$state_count
  state_count=$((state_count + 1))
  state_of[$sig]=$found
  sig_of[$found]=$sig
  depth_of[$found]=$depth
  parent_of[$found]=$parent
  via_of[$found]=$via
  mv "$work" "$snaps/s$found"
  queue+=("$found")
}

# The path from the clean machine to a state, as "S0 -action-> S1 ...".
path_to() {
  local s=$1 path="S$1"
  while [ "${parent_of[$s]}" != - ]; do
    path="S${parent_of[$s]} -${via_of[$s]}-> $path"
    s=${parent_of[$s]}
  done
  echo "$path"
}

# The checks of one transition: the truth of the exit code and the user's places.
check_transition() {
  local from=$1 action=$2 to=$3 rc=$4 what e pre post present foreign sw
  pre=${sig_of[$from]} post=${sig_of[$to]}
  what="$(path_to "$from") -$action-> S$to (exit $(signed "$rc"))"
  local why
  why=$(user_places_intact "$snaps/s$to") || fail "$what: the run touched $why"
  [ "$rc" = 124 ] && { fail "$what: the run hung (no end within 180 s)"; return; }
  e=$(action_edition "$action" "$(field "$pre" entry)")
  [ "$e" = - ] && return
  [[ $action == kill.* ]] && return
  local dev=$(field "$pre" dev) mask=${classes[$e]}
  present=0
  for i in 0 1 2; do [ "${dev:$i:1}${mask:$i:1}" = 11 ] && present=1; done
  foreign=0
  local entry=$(field "$pre" entry)
  [ "$present" = 1 ] && [ "$entry" != - ] && [ "$entry" != "$e" ] && [[ $action != *entry.u ]] && foreign=1
  sw=${action##*.}
  if [ "$foreign" = 1 ]; then
    [ "$rc" = $((FOREIGN_RESULT & 255)) ] ||
      fail "$what: a switch run of ${name[$e]} on the product that the entry says ${name[$entry]} installed: expected exit code $FOREIGN_RESULT"
    [ "$pre" = "$post" ] || fail "$what: the refused run changed the machine: [$pre] -> [$post]"
    return
  fi
  [ "$rc" = 0 ] || return
  if [ "$present" = 1 ]; then
    [ "$(field "$post" dev)" = 000 ] ||
      fail "$what: a removal gave 0 but left product devices (classes $(field "$post" dev)): a driver package's removal did not run"
    [ "$(field "$post" entry)" = - ] || fail "$what: a removal gave 0 but left the uninstall entry"
    [ "$(field "$post" links)" = "-/-" ] || fail "$what: a removal gave 0 but left shortcuts ($(field "$post" links))"
    [ "$(field "$post" "$e")" = none ] || fail "$what: a removal gave 0 but left ${name[$e]}'s files"
  elif [ "$sw" = i ]; then
    local pdev=$(field "$post" dev) ok=1
    for i in 0 1 2; do [ "${mask:$i:1}" = 1 ] && [ "${pdev:$i:1}" != 1 ] && ok=0; done
    [ "$ok" = 1 ] && [ "$(field "$post" "$e")" = whole ] && [[ $(field "$post" copy) == *$e* ]] &&
      [ "$(field "$post" entry)" = "$e" ] && [ "$(field "$post" links)" = "${links[$e]}/${links[$e]}" ] ||
      fail "$what: an install gave 0 but ${name[$e]} is not whole: [$post]"
  else
    [ "$pre" = "$post" ] || fail "$what: a run with nothing to do gave 0 and changed the machine: [$pre] -> [$post]"
  fi
}

# Runs one action from a state (once: the edge is remembered). Wine now and then refuses a
# program start on a busy machine (the installer: 1; a sub-setup: -604, -605); such a
# transition is made again from the snapshot, twice at most.
transition() {
  local from=$1 action=$2 depth=$3 attempt
  [ -n "${edge[$from,$action]:-}" ] && return
  for attempt in 1 2 3; do
    copy_prefix "$snaps/s$from" "$work"
    session_start 0
    do_action "$action"
    session_end
    case $rc in 1 | 163 | 164) [ "$attempt" -lt 3 ] && [[ $action != kill.* ]] && continue ;; esac
    break
  done
  if [ "$applicable" = 0 ]; then
    rm -rf "$work"
    edge[$from,$action]=$from
    edge_rc[$from,$action]=n/a
    return
  fi
  take_state "$depth" "$from" "$action"
  edge[$from,$action]=$found
  edge_rc[$from,$action]=$rc
  transition_count=$((transition_count + 1))
  check_transition "$from" "$action" "$found" "$rc"
}

# ---- the exploration -----------------------------------------------------------------------

WINEPREFIX=$snaps/w0 "$here/../wine/prefix.sh" copy "$build/wine/template" "$work" || exit 1
session_start 1
plant_user_places
session_end
take_state 0 - -
clean=0
absent_sig=${sig_of[$clean]}
echo "S0 (the clean machine): $absent_sig"

expanded=0
while [ ${#queue[@]} -gt 0 ]; do
  s=${queue[0]}
  queue=("${queue[@]:1}")
  if [ "$depth_bound" -ge 0 ] && [ "${depth_of[$s]}" -ge "$depth_bound" ]; then
    continue
  fi
  expanded=$((expanded + 1))
  for a in "${EXPAND[@]}"; do
    transition "$s" "$a" $((depth_of[$s] + 1))
  done
  echo "S$s expanded: $state_count states, $transition_count transitions, $(($(date +%s) - start_time)) s"
done
explored_states=$state_count
explore_end=$(date +%s)

# The recovery of docs/deploying.md towards "absent": a restart, the entry's uninstall when
# there is an entry, each edition's "-h -u"; when product files are still left, Indigo's
# "-h -i" (it installs over them) and "-h -u"; a restart. Five runs at most. Then each
# edition's "-h -i" from there gives that edition whole: six runs.
RECOVERY=(restart entry.u I.u C.u)
LEFTOVERS=(I.i I.u)
RECOVERY_RUNS=5
dead_ends=0
follow() {
  local a
  for a in "$@"; do
    transition "$at" "$a" $((depth_of[$at] + 1))
    at=${edge[$at,$a]}
    walk+=" -$a-> S$at"
  done
}
for ((s = 0; s < explored_states; s++)); do
  at=$s walk="S$s"
  follow "${RECOVERY[@]}"
  # ".del" files and what is pending go at the restart; anything else of the product left
  # (files, a shortcut group, the entry, a device) asks for the install and the removal.
  at_sig=${sig_of[$at]/pend=1/pend=0}
  if [ "${at_sig/del=1/del=0}" != "$absent_sig" ]; then follow "${LEFTOVERS[@]}"; fi
  follow restart
  if [ "${sig_of[$at]}" != "$absent_sig" ]; then
    fail "dead end S$s: $(path_to "$s"); the guide's recovery ($RECOVERY_RUNS runs) leads $walk, [${sig_of[$at]}], not to the clean machine [$absent_sig]"
    dead_ends=$((dead_ends + 1))
  fi
done
for a in I.i C.i; do
  transition "$clean" "$a" 1
  t=${edge[$clean,$a]}
  e=${a%.i}
  [ "$(field "${sig_of[$t]}" "$e")" = whole ] && [ "${edge_rc[$clean,$a]}" = 0 ] ||
    fail "from the clean machine $a does not give ${name[$e]} whole: exit ${edge_rc[$clean,$a]}, [${sig_of[$t]}]"
done
end_time=$(date +%s)

# ---- the table and the picture -------------------------------------------------------------

# One row per state: its signature, and where each run leads from it ("S4 -20": to S4 with
# exit code -20; "=" back to itself; blank: not run, the state lying beyond the bound).
{
  header="| State | Runs from clean | Signature |" rule="|---|---|---|"
  for a in "${ACTIONS[@]}"; do header+=" $a |"; rule+="---|"; done
  echo "$header"
  echo "$rule"
  for ((s = 0; s < state_count; s++)); do
    row="| S$s | ${depth_of[$s]} | \`${sig_of[$s]}\` |"
    for a in "${ACTIONS[@]}"; do
      cell=
      if [ -n "${edge[$s,$a]:-}" ]; then
        r=$(signed "${edge_rc[$s,$a]}")
        if [ "$r" = n/a ]; then cell="n/a"
        else
          [ "${edge[$s,$a]}" = "$s" ] && cell="=" || cell="S${edge[$s,$a]}"
          case $r in 0 | -) ;; *) cell+=" ($r)" ;; esac
        fi
      fi
      row+=" $cell |"
    done
    echo "$row"
  done
} >"$out/states.md"

{
  echo 'digraph machine {'
  echo '  rankdir=LR; node [shape=box, fontname="DejaVu Sans", fontsize=9]; edge [fontname="DejaVu Sans", fontsize=8];'
  for ((s = 0; s < state_count; s++)); do
    sig=${sig_of[$s]}
    label="S$s\\n$(sed 's/ \(C=\|copy=\|links=\)/\\n\1/g' <<<"$sig")"
    extra=
    [ "$s" = 0 ] && extra=', style=bold'
    echo "  S$s [label=\"$label\"$extra];"
  done
  declare -A labels=()
  for k in "${!edge[@]}"; do
    [ "${edge_rc[$k]}" = n/a ] && continue
    from=${k%%,*} to=${edge[$k]} a=${k#*,} r=${edge_rc[$k]}
    [ "$from" = "$to" ] && continue
    r=$(signed "$r")
    case $r in 0 | -) l=$a ;; *) l="$a ($r)" ;; esac
    labels[$from,$to]+="${labels[$from,$to]:+\\n}$l"
  done
  for k in "${!labels[@]}"; do
    echo "  S${k%%,*} -> S${k#*,} [label=\"${labels[$k]}\"];"
  done
  echo '}'
} >"$out/states.dot"
if command -v dot >/dev/null; then
  dot -Tpng -Gdpi=80 "$out/states.dot" -o "$out/states.png"
  dot -Tsvg "$out/states.dot" -o "$out/states.svg"
fi

echo "explorer: $state_count states, $transition_count transitions ($explored_states states reached" \
  "by the search, $expanded expanded$([ "$depth_bound" -ge 0 ] && echo ", up to $depth_bound runs from clean");" \
  "the rest by the recovery checks); exploration" \
  "$((explore_end - start_time)) s, with the recovery checks $((end_time - start_time)) s; $dead_ends dead end(s);" \
  "table and picture in $out"
if [ "$failures" -gt 0 ]; then
  echo "explorer: $failures failure(s)"
  exit 1
fi
echo "explorer: passed"

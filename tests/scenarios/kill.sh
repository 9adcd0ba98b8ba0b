#!/usr/bin/env bash
# The installer killed (the process ended at once, as by a power cut or the task manager) after
# each step of the install or of the removal, each time on a fresh machine. The moment comes from
# what the run has visibly done: its log, whose lines reach the disk as each step ends. Then the
# recovery that docs/deploying.md gives. The presence probe decides what each switch run does:
#   install killed: "-h -i"; when that run found the product present and removed it, "-h -i"
#                   once more. The product must end whole.
#   removal killed: "-h -u"; when that run found no product (the devices were already gone),
#                   "-h -i" and then "-h -u". Nothing of the product may stay.
# Then the restart that both procedures ask for, which takes what was still in use.
#   kill.sh BUILD_DIR EDITION install|uninstall
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
edition=$2
procedure=$3
scenario="kill during $procedure"
# Every run here is hidden: a discarded machine may end beside the next steps.
export MIXARRO_END_IN_BACKGROUND=1
source "$here/machine.sh"

temp_folder() { echo "$WINEPREFIX/drive_c/users/$(id -un)/Temp"; }

# The log that the run started last wrote.
newest_log() { ls -t "$(temp_folder)"/MixarroSetup-*.log 2>/dev/null | head -1; }

# Runs the installer with `switches` and kills it once its log holds `count` lines that match
# `pattern`. Sets `killed` to 1 when it was killed, 0 when it ended first.
run_and_kill() {
  local switches=$1 pattern=$2 count=$3 before
  before=$(newest_log)
  # shellcheck disable=SC2086
  "$WINE" "$installer" $switches >/dev/null 2>&1 &
  local runner=$!
  killed=0
  kill_at_log_lines "$runner" "$before" "$pattern" "$count" 3000 && killed=1
  wait_for_started_programs
}

# What the killed run had started (a sub-setup, the registration program) goes on and ends on
# its own; the recovery waits for it, as an administrator lets it end (or restarts): a program
# still running from the program folder cannot be replaced.
wait_for_started_programs() {
  wait_for_prefix_programs "$WINEPREFIX" ||
    fail "$scenario: a program that the killed run started is still running after 60 s"
}

# Runs the installer once with the given switches. Sets `got` (the exit code as the shell sees
# it) and `run_log` (the log this run wrote, empty when it wrote none), and adds the log to
# `recovery_logs`. The log is the one that was not there before the run: another log may be
# written meanwhile by nobody else, but a name compared by time alone can pick an older one.
run_once() {
  local before after
  before=$(ls "$(temp_folder)"/MixarroSetup-*.log 2>/dev/null | sort)
  "$WINE" "$installer" "$@" >/dev/null 2>&1
  got=$?
  after=$(ls "$(temp_folder)"/MixarroSetup-*.log 2>/dev/null | sort)
  run_log=$(comm -13 <(echo "$before") <(echo "$after") | tail -1)
  echo "$scenario: run $* ended with $got${run_log:+, log $(basename "$run_log")}"
  recovery_logs+=("$run_log")
}

# One run of the recovery. A run that ends with -10 because a file of the program folder is
# still held, by a program that the killed run was starting when it died (under Wine a process
# cut off in its start can keep its image open), is tried again after a restart, as the guide
# says for -10.
recovery_run() {
  run_once "$@"
  if [ "$got" = $((-10 & 255)) ] && [ -n "$run_log" ] && grep -q 'NOT written' "$run_log"; then
    echo "$scenario: a file was still held (-10): restart and run again"
    restart
    run_once "$@"
  elif [ "$got" = $((-605 & 255)) ] || [ "$got" = $((-604 & 255)) ] || [ "$got" = 1 ]; then
    # A busy Wine now and then refuses to start a program at all (the sub-setup: -604, -605;
    # the installer itself: Wine's own exit code 1, no result of the program); the guide's
    # answer is to run again.
    echo "$scenario: a program could not be started ($got): run again"
    run_once "$@"
  fi
  [ "$got" = 0 ] || { fail "$scenario: recovery run $*: exit code $got, expected 0"; return 1; }
}

# Whether the last run found the product present and removed it.
last_run_removed() { [ -n "$run_log" ] && grep -q 'removal result' "$run_log"; }

# The recovery of docs/deploying.md; each run must end with 0. Each decision reads the log of
# the run that decides it, which after a retry is the retry's.
recover() {
  if [ "$procedure" = install ]; then
    recovery_run -h -i || return 1
    if last_run_removed; then recovery_run -h -i || return 1; fi
    # The restart that every install and removal asks for takes what was in use.
    restart
    expect_whole
  else
    recovery_run -h -u || return 1
    if ! last_run_removed; then recovery_run -h -i && recovery_run -h -u || return 1; fi
    restart
    expect_removed
  fi
}

# Prints the logs of the killed run and of its recovery, for a failure to be read afterwards.
print_logs() {
  local log
  for log in "$killed_log" "${recovery_logs[@]}"; do
    [ -n "$log" ] && [ -f "$log" ] || continue
    echo "----- $(basename "$log")"
    cat "$log"
  done
}

files=$(find "$payload" -type f | wc -l)
shortcuts=$((2 * SHORTCUTS))
# Kill points: a pattern of the log and how many lines of it must be there.
if [ "$procedure" = install ]; then
  points=(
    "] file |1" "] file |$((files / 2))" "] file |$files"
    "sub-setup: .*QXLINK_Setup|1" "sub-setup: .*QXMXAUX_Setup|1"
    "DllRegisterServer|1" "] create shortcut |1" "] create shortcut |$shortcuts"
    "copy the installer to|1" "set value HKLM|1" "install result|1"
  )
  [ "$edition" = Indigo ] && points+=("sub-setup: .*QXMXVAIO3_Setup|1" "registration program:|1")
else
  points=(
    "sub-setup: .*QXLINK_Setup|1" "sub-setup: .*QXMXAUX_Setup|1" "DllUnregisterServer|1"
    "] delete C:|1" "] delete C:|$((files / 2))" "] delete shortcut |1" "remove key HKLM|1"
    "remove folder C:.*QX.Mixarro: |1" "removal result|1"
  )
fi

reached=0
for point in "${points[@]}"; do
  pattern=${point%|*} count=${point##*|}
  scenario="kill during $procedure after \"$pattern\" x$count"
  new_machine
  if [ "$procedure" = uninstall ]; then install || continue; fi
  run_and_kill "-h -${procedure:0:1}" "$pattern" "$count"
  [ "$killed" = 1 ] && reached=$((reached + 1))
  echo "$scenario: $([ "$killed" = 1 ] && echo killed || echo "ended before the kill")"
  killed_log=$(newest_log) recovery_logs=()
  failures_before=$failures
  recover
  [ "$failures" -gt "$failures_before" ] && print_logs
done
# The run must really have been killed at most points, not have ended first.
[ "$reached" -ge $((${#points[@]} / 2)) ] ||
  fail "killed at only $reached of ${#points[@]} points: the runs ended before their kill"

if [ "$failures" -gt 0 ]; then
  echo "$edition kill during $procedure: $failures failure(s)"
  exit 1
fi
echo "$edition kill during $procedure: passed, killed at $reached of ${#points[@]} points"

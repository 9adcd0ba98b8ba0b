# Sourced by the Wine helpers: where Wine is and how every Wine call is made.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine; and no winemenubuilder, which Wine starts for every shell link saved
# under a Start menu to write desktop menu entries into the real home folder: a process per
# shortcut (26 per install) that nothing here looks at.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine's i386 PE DLLs (see tools/setup.sh) let wine64 run 32-bit programs in WoW64 mode.
export WINEDLLPATH=${MIXARRO_WINE_I386:-/var/cache/mixarro/wine-i386}
export WINEARCH=win64

# Ends the Wine session of the throwaway prefix $1 and removes the prefix, detached from the
# caller: the server takes most of a second to go, and nothing that a check reads waits on it.
# Only for a prefix that nothing will use again.
end_prefix_detached() {
  (WINEPREFIX=$1 "$WINESERVER" -k; WINEPREFIX=$1 "$WINESERVER" -w; rm -rf "$1") \
    </dev/null >/dev/null 2>&1 &
  disown $! 2>/dev/null
}

# Waits up to 60 s until no program that a run started in the prefix $1 (a sub-setup, the
# registration program) is running any more: such a program goes on after the run that
# started it was killed, and one still running from the program folder cannot be replaced.
# 1 when one still runs.
wait_for_prefix_programs() {
  local pid running
  for _ in $(seq 1 240); do
    running=
    for pid in $(pgrep -f '_Setup|qxregsvr' 2>/dev/null); do
      tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$1" && running=1
    done
    [ -z "$running" ] && return 0
    sleep 0.25
  done
  return 1
}

# Kills the background run `runner` (kill -9, as a power cut or a task manager would) once the
# newest log that `newest_log` names, other than `before`, holds `count` lines matching
# `pattern`; looks for at most `tries` hundredths of a second. Waits for the run either way.
# 0 when it was killed, 1 when it ended first.
kill_at_log_lines() {
  local runner=$1 before=$2 pattern=$3 count=$4 tries=$5 log n killed=1
  for _ in $(seq 1 "$tries"); do
    log=$(newest_log)
    if [ -n "$log" ] && [ "$log" != "$before" ]; then
      n=$(grep -c -- "$pattern" "$log" 2>/dev/null)
      if [ "${n:-0}" -ge "$count" ]; then
        kill -9 "$runner" 2>/dev/null && killed=0
        break
      fi
    fi
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.01
  done
  wait "$runner" 2>/dev/null
  return $killed
}

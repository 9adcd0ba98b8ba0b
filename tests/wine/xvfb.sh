# Sourced: gives the caller an X display for its Wine programs. Without DISPLAY (or with
# MIXARRO_OWN_XVFB=1, for a server no other test can reach) it starts one Xvfb for the
# caller's whole run (one server for all programs, so that Wine's desktop process keeps its
# display between them). Xvfb picks the display number itself (-displayfd) and claims it with
# its lock file, so that callers starting beside each other never race for one number.
# mixarro_xvfb_stop ends it; the EXIT trap set here calls it, and a caller that sets its own
# EXIT trap calls it from there.
mixarro_xvfb_stop() {
  if [ -n "${MIXARRO_XVFB_PID:-}" ]; then
    kill "$MIXARRO_XVFB_PID" 2>/dev/null
    wait "$MIXARRO_XVFB_PID" 2>/dev/null
    MIXARRO_XVFB_PID=
  fi
}
if [ -z "${DISPLAY:-}" ] || [ -n "${MIXARRO_OWN_XVFB:-}" ]; then
  mixarro_xvfb_fifo=$(mktemp -u /tmp/mixarro-xvfb.XXXXXX)
  mkfifo "$mixarro_xvfb_fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$mixarro_xvfb_fifo" >/dev/null 2>&1 &
  MIXARRO_XVFB_PID=$!
  # The number arrives once the server listens; an Xvfb that fails closes the pipe empty.
  mixarro_xvfb_number=
  read -r -t 30 mixarro_xvfb_number <"$mixarro_xvfb_fifo"
  rm -f "$mixarro_xvfb_fifo"
  if [ -n "$mixarro_xvfb_number" ]; then
    export DISPLAY=:$mixarro_xvfb_number
  else
    echo "xvfb.sh: Xvfb did not start" >&2
  fi
  unset mixarro_xvfb_fifo mixarro_xvfb_number
  trap mixarro_xvfb_stop EXIT
fi

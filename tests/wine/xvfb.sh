# Sourced: gives the caller an X display for its Wine programs. Without DISPLAY it starts one
# Xvfb for the caller's whole run (one server for all programs, so that Wine's desktop
# process keeps its display between them) and stops it when the caller exits.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    MIXARRO_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    break
  done
  trap '[ -n "${MIXARRO_XVFB_PID:-}" ] && kill $MIXARRO_XVFB_PID 2>/dev/null' EXIT
fi

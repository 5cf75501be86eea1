# Helpers for running the calculator on a virtual X display; sourced.
# start_x: starts Xvfb (and openbox, so that windows get frames and close
# requests) on a free display and exports DISPLAY. stop_x ends both.

start_x() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-640x480x24}" -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    if xdpyinfo >/dev/null 2>&1; then
      if [ "${WITH_WM:-1}" = 1 ] && command -v openbox >/dev/null; then
        openbox >/dev/null 2>&1 &
        WM_PID=$!
        sleep 0.5
      fi
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null
  done
  echo "no free X display for Xvfb" >&2
  return 1
}

stop_x() {
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  return 0
}

# wait_window TITLE [SECONDS]: prints the id of the visible window with that title.
wait_window() {
  local id
  for _ in $(seq $((${2:-10} * 10))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# close_window ID: asks the window to close, as its title bar's close button does.
close_window() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  xdotool key --clearmodifiers alt+F4
}

# Helpers for running the calculator on a virtual X display; sourced.
# start_x: starts Xvfb (and openbox, so that windows get frames and close
# requests) on a free display and exports DISPLAY. stop_x ends both.

start_x() {
  # Xvfb picks a free display itself and reports it, so parallel runs
  # never race for the same number.
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-640x480x24}" -dpi 96 -nolisten tcp \
    3>"$fd_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  local n
  n=$(head -n 1 "$fd_file")
  rm -f "$fd_file"
  if [ -z "$n" ]; then
    echo "Xvfb did not start" >&2
    kill "$XVFB_PID" 2>/dev/null
    return 1
  fi
  export DISPLAY=":$n"
  if [ "${WITH_WM:-1}" = 1 ] && command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    WM_PID=$!
    sleep 0.5
  fi
  return 0
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

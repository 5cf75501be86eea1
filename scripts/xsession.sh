# Helpers for running the calculator on a virtual display, in scripts and
# tests; sourced.
# start_x: starts Xvfb (and openbox, so that windows get frames and close
# requests; WM_ARGS are its arguments) on a free display and exports DISPLAY.
# stop_x ends both.

start_x() {
  # Xvfb picks a free display itself and reports it once it takes clients,
  # so parallel runs never race for the same number. It must not reset when
  # its last client leaves: a client that connects during the reset (the
  # program, right after a helper looked at the display) is turned away. A
  # server that is gone again or does not answer is replaced by a new one.
  local fd_file n _
  for _ in 1 2 3; do
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-640x480x24}" -dpi 96 -nolisten tcp -noreset \
      3>"$fd_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
      grep -q '^[0-9][0-9]*$' "$fd_file" && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    n=$(grep -m 1 '^[0-9][0-9]*$' "$fd_file")
    rm -f "$fd_file"
    if [ -n "$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
      export DISPLAY=":$n"
      break
    fi
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  if [ -z "$XVFB_PID" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  if [ "${WITH_WM:-1}" = 1 ] && command -v openbox >/dev/null; then
    # shellcheck disable=SC2086 # several arguments, or none
    openbox ${WM_ARGS:-} >/dev/null 2>&1 &
    WM_PID=$!
    # Ready once it names itself on the root window, as window managers do.
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
  fi
  return 0
}

stop_x() {
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  WM_PID="" XVFB_PID=""
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

# client_origin ID: where the window's client area lies on the screen, "X Y".
client_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
                           END {print x, y}'
}

# frame_box ID: the window with its frame on the screen, "X Y W H".
frame_box() {
  local frame
  frame=$(xwininfo -id "$1" -children | awk '/Parent window id/ {print $4}')
  xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
                               /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x, y, w, h}'
}

# settled_origin ID: client_origin once the window manager has stopped
# moving the window.
settled_origin() {
  local before now
  before=$(client_origin "$1")
  for _ in $(seq 25); do
    sleep 0.2
    now=$(client_origin "$1")
    [ "$now" = "$before" ] && break
    before=$now
  done
  echo "$now"
}

# client_size ID: the size of the window's client area, "WxH".
client_size() {
  xwininfo -id "$1" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}'
}

# open_about MAIN [SCALE]: clicks the main window's "?" as a person does and
# prints the id of the About window once it is on screen.
open_about() {
  local s=${2:-1}
  xdotool mousemove --window "$1" $((240 * s)) $((16 * s)) click 1
  wait_window "О программе" 10
}

# close_and_wait ID: closes the window and waits until it is gone, asking
# again when a busy window manager let the first request pass by.
close_and_wait() {
  local _
  for _ in 1 2 3; do
    close_window "$1"
    wait_gone "$1" 3 && return 0
  done
  return 1
}

# wait_gone ID [SECONDS]: waits until the window is no longer on screen.
wait_gone() {
  for _ in $(seq $((${2:-10} * 10))); do
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  return 1
}

# wait_exit PID [SECONDS]: waits for a child process to end and returns its
# exit status, or 124 if it is still running then.
wait_exit() {
  for _ in $(seq $((${2:-10} * 10))); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return; }
    sleep 0.1
  done
  return 124
}

# end_process PID: ends a child process that is still there, with SIGKILL if
# SIGTERM does not end it within 5 seconds.
end_process() {
  kill "$1" 2>/dev/null || return 0
  wait_exit "$1" 5
  [ $? = 124 ] && kill -9 "$1" 2>/dev/null
  return 0
}

# scratch_run PROGRAM: a scratch folder $work with a copy of the program,
# which is also HOME and XDG_RUNTIME_DIR. On exit: the processes whose ids
# are still in $pid (the program) and $server (a bus or a compositor) end,
# then the virtual display, and the folder goes.
scratch_run() {
  work=$(mktemp -d)
  cp "$1" "$work/sheetmass"
  export XDG_RUNTIME_DIR=$work HOME=$work
  pid="" server=""
  trap end_scratch_run EXIT
}
end_scratch_run() {
  [ -n "$pid" ] && end_process "$pid"
  [ -n "$server" ] && end_process "$server"
  stop_x
  rm -rf "$work"
}

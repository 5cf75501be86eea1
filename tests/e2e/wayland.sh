#!/usr/bin/env bash
# The real program as a Wayland client of a headless compositor: its window
# maps, and SIGTERM (a session ending) closes it cleanly with a full save.
# Skips (77) only where the compositor cannot start at all.
# usage: wayland.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
scratch_run "$program"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=sheetmass-test
unset DISPLAY

skip() { echo "SKIP: $*"; exit 77; }
command -v weston >/dev/null || skip "no weston"
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=640 --height=480 \
  --idle-time=0 --log="$work/weston.log" & server=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { tail -n 5 "$work/weston.log"; skip "weston did not start"; }

QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 "$work/sheetmass" 2>"$work/protocol" & pid=$!

# Mapped, in xdg-shell's terms: the titled toplevel acknowledged the
# compositor's configure and then committed a buffer.
mapped() {
  awk '/-> xdg_toplevel@[0-9]+\.set_title\("Масса AL листов"\)/ { titled = 1 }
       titled && /-> xdg_surface@[0-9]+\.ack_configure\(/ { acked = 1 }
       acked && /-> wl_surface@[0-9]+\.attach\(wl_buffer@/ { attached = 1 }
       attached && /-> wl_surface@[0-9]+\.commit\(\)/ { found = 1; exit }
       END { exit !found }' "$work/protocol"
}
for _ in $(seq 300); do
  mapped && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if ! mapped; then
  grep -v '^\[' "$work/protocol" | tail -n 5
  echo "FAIL: the window did not map"
  exit 1
fi
echo "ok   the window maps on Wayland"
[ -f "$work/List.abc" ] && [ ! -s "$work/List.abc" ] || { echo "FAIL: no empty List.abc at first start"; exit 1; }
echo "ok   List.abc created empty at start"

kill -TERM "$pid"
wait_exit "$pid"
status=$?
pid=""
if [ "$status" != 0 ]; then
  grep -v "^\[" "$work/protocol" | tail -n 30
  echo "FAIL: exit status $status after SIGTERM (124: still running)"
  exit 1
fi
echo "ok   SIGTERM ends it with status 0"
cmp -s "$work/List.abc" "$here/../fixtures/empty-save.abc" ||
  { echo "FAIL: List.abc holds $(stat -c %s "$work/List.abc") bytes, not the 204 of a first save"; exit 1; }
echo "ok   List.abc holds the full first save"
echo PASS

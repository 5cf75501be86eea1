#!/usr/bin/env bash
# The real program on a virtual display maps its window with its title and
# ends when that window is closed.
set -u
program=$1
. "$(dirname "$0")/../../scripts/xsession.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp "$program" "$work/sheetmass"
start_x || exit 1
"$work/sheetmass" & pid=$!
id=$(wait_window "Масса AL листов" 15) || { echo "FAIL: window did not map"; kill $pid; exit 1; }
geometry=$(xdotool getwindowgeometry "$id" | grep Geometry)
echo "mapped: $geometry"
[[ "$geometry" == *"266x377"* ]] || { echo "FAIL: client area $geometry"; kill $pid; exit 1; }
close_window "$id"
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "FAIL: still running after close"; kill $pid; exit 1; fi
wait $pid || { echo "FAIL: exit status $?"; exit 1; }
[ -f "$work/List.abc" ] || echo "note: no List.abc beside the program"
echo "PASS"

#!/usr/bin/env bash
# With no display to show it on: starts the calculator on a virtual one,
# takes a picture of its window, closes it and says where the picture is.
set -eu
program=$1
picture=$2
. "$(dirname "$0")/xsession.sh"
trap stop_x EXIT
start_x
"$program" & pid=$!
id=$(wait_window "Масса AL листов" 15) || { echo "the window did not appear" >&2; kill $pid; exit 1; }
sleep 0.5
xdotool windowmove --sync "$id" 20 20 >/dev/null 2>&1 || true
sleep 0.3
frame=$(xwininfo -id "$id" -children | awk '/Parent window id/ {print $4}')
root=$(xwininfo -root | awk '/Window id/ {print $4}')
[ -n "$frame" ] && [ "$frame" != "$root" ] || frame=$id
import -window "$frame" "$picture"
close_window "$id"
wait $pid
echo "No display here: the calculator ran on a virtual one; its window is in $(realpath "$picture")"

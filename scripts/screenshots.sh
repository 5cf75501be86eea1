#!/usr/bin/env bash
# Remakes the pictures in docs/ from the built program on a virtual display:
# the main window with a typical batch, and both windows with About open.
# usage: scripts/screenshots.sh [program]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/sheetmass}
. scripts/xsession.sh
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp "$program" "$work/sheetmass"
cp fuzz/corpus/typical.abc "$work/List.abc"
export XDG_RUNTIME_DIR=$work
XVFB_SCREEN=560x420x24 start_x
"$work/sheetmass" & pid=$!
id=$(wait_window "Масса AL листов" 15)
xdotool windowmove --sync "$id" 10 30
sleep 0.5
frame=$(xwininfo -id "$id" -children | awk '/Parent window id/ {print $4}')
import -window "$frame" docs/screenshot.png
# The "?" button, as a person clicks it.
x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')
y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')
xdotool mousemove $((x + 240)) $((y + 16)) click 1
about=$(wait_window "О программе" 10)
xdotool windowmove --sync "$about" 295 140
sleep 0.5
import -window root -crop 540x410+0+0 docs/about.png
close_window "$about"
close_window "$id"
wait "$pid"
echo "docs/screenshot.png and docs/about.png remade"

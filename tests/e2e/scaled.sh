#!/usr/bin/env bash
# The real program at each scale a desktop may set: its window maps with its
# title, both windows keep the layout's proportions, the About picture fills
# its window, the About window comes back to the same place when it is opened
# again, and the program ends with status 0 once both windows are closed.
# usage: scaled.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
scratch_run "$program"
# The About window's own fill, seen only where its picture does not reach.
back_fill=1E2630

failed=0
check() { # check WHAT GOT WANT
  if [ "$2" = "$3" ]; then echo "ok   $1: $2"; else echo "FAIL $1: $2, not $3"; failed=1; fi
}

XVFB_SCREEN=1280x1024x24 start_x || { echo "FAIL: no virtual display"; exit 1; }

# scale  main window  About window (client areas, in screen pixels)
while read -r scale main about; do
  QT_SCALE_FACTOR=$scale "$work/sheetmass" 2>"$work/stderr" & pid=$!
  id=$(wait_window "Масса AL листов" 30) || { echo "FAIL ×$scale: no main window"; exit 1; }
  check "×$scale main window" "$(client_size "$id")" "$main"

  first=$(open_about "$id" "$scale") || { echo "FAIL ×$scale: no About window"; exit 1; }
  at_first=$(settled_origin "$first")
  check "×$scale About window" "$(client_size "$first")" "$about"
  import -window "$first" "$work/about.png"
  w=${about%x*} h=${about#*x}
  for point in "top left:4,4" "top right:$((w - 5)),4" "bottom left:4,$((h - 5))" \
    "bottom right:$((w - 5)),$((h - 5))" "centre:$((w / 2)),$((h / 2))"; do
    colour=$(convert "$work/about.png" -format "%[hex:p{${point#*:}}]" info:)
    [ "$colour" = "$back_fill" ] && colour="back fill" || colour="picture"
    check "×$scale About picture at its ${point%%:*}" "$colour" "picture"
  done

  close_and_wait "$first" || { echo "FAIL ×$scale: the About window did not close"; exit 1; }
  second=$(open_about "$id" "$scale") || { echo "FAIL ×$scale: no About window again"; exit 1; }
  check "×$scale About window opened again at" "$(settled_origin "$second")" "$at_first"

  close_and_wait "$second"
  close_window "$id"
  wait_exit "$pid"
  status=$?
  check "×$scale exit status after both windows closed (124: still running)" "$status" 0
  [ "$status" = 0 ] || sed 's/^/  stderr: /' "$work/stderr"
  pid=""
done <<'EOF'
1 266x377 235x176
2 532x754 470x352
EOF

[ "$failed" = 0 ] && echo PASS
exit "$failed"

#!/usr/bin/env bash
# Remakes the pictures in docs/ from the built program on a virtual display,
# with a typical batch: the main window; both windows with About open; both
# under a dark desktop (openbox's dark Onyx frames, and Qt's GTK platform
# theme reading GTK's dark Adwaita, as on a GNOME desktop set to dark); both
# at twice the scale; the box a file given to the window brings.
# usage: scripts/screenshots.sh [program]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/sheetmass}
. scripts/xsession.sh
scratch_run "$program"
# The first name in openbox's settings is its theme's.
sed '0,/<name>[^<]*<\/name>/s//<name>Onyx<\/name>/' /etc/xdg/openbox/rc.xml >"$work/dark-rc.xml"

# picture          scale  desktop  About
while read -r picture scale desktop with_about; do
  cp tests/fixtures/typical.abc "$work/List.abc"
  theme=()
  WM_ARGS=""
  if [ "$desktop" = dark ]; then
    theme=(QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark)
    WM_ARGS="--config-file $work/dark-rc.xml"
  fi
  XVFB_SCREEN=$((560 * scale))x$((440 * scale))x24 start_x
  env "${theme[@]}" QT_SCALE_FACTOR="$scale" "$work/sheetmass" 2>/dev/null & pid=$!
  id=$(wait_window "Масса AL листов" 30)
  xdotool windowmove --sync "$id" 10 30
  sleep 0.5
  read -r x y w h < <(frame_box "$id")
  if [ "$with_about" = no ]; then
    import -window root -crop "${w}x${h}+${x}+${y}" "docs/$picture"
  else
    about=$(open_about "$id" "$scale")
    # Beside the main window, level with its frame.
    xdotool windowmove --sync "$about" $((x + w + 16)) $((y + 110 * scale))
    sleep 0.5
    read -r ax _ aw _ < <(frame_box "$about")
    import -window root -crop "$((ax + aw + 8))x$((y + h + 8))+0+0" "docs/$picture"
    close_window "$about"
    wait_gone "$about"
  fi
  close_window "$id"
  wait_exit "$pid"
  pid=""
  stop_x
  echo "docs/$picture"
done <<'EOF'
screenshot.png 1 light no
about.png      1 light yes
dark.png       1 dark  yes
scaled.png     2 light yes
EOF

# A German order with a line the batch refuses, given to the window as
# "open with" gives it: the window and its box over it.
cp tests/fixtures/typical.abc "$work/List.abc"
mkdir -p "$work/заказы"
printf 'Сплав;Считать по;Толщина;Верх;Низ;Длина;Ширина;Кол-во;Знаков\nД16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2\nАМг6;номиналу;1,5;;;2.000;1.250,5;3;2\nД17;номиналу;2;;;2000;1000;10;2\n' \
  >"$work/заказы/заказ.csv"
XVFB_SCREEN=640x480x24 start_x
"$work/sheetmass" "$work/заказы/заказ.csv" 2>/dev/null & pid=$!
id=$(wait_window "Масса AL листов" 30)
xdotool windowmove --sync "$id" 10 30
for _ in $(seq 100); do
  [ "$(xdotool search --onlyvisible --name "^Масса AL листов\$" | wc -l)" -ge 2 ] && break
  sleep 0.1
done
box=$(xdotool search --onlyvisible --name "^Масса AL листов\$" | grep -vx "$id" | head -n 1)
xdotool windowmove --sync "$box" 180 120
sleep 0.5
read -r x y w h < <(frame_box "$id")
read -r bx by bw bh < <(frame_box "$box")
bottom=$((by + bh > y + h ? by + bh : y + h))
import -window root -crop "$((bx + bw + 8))x$((bottom + 8))+0+0" docs/file-box.png
close_window "$box"
wait_gone "$box"
close_window "$id"
wait_exit "$pid"
pid=""
stop_x
echo docs/file-box.png

#!/usr/bin/env bash
# Remakes the pictures in docs/ from the built program on a virtual display,
# with a typical batch: the main window; both windows with About open; both
# under a dark desktop (openbox's dark Onyx frames, and Qt's GTK platform
# theme reading GTK's dark Adwaita, as on a GNOME desktop set to dark); both
# at twice the scale.
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

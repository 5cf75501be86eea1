#!/usr/bin/env bash
# The README's pictures of the Windows windows as Wine draws them: the main
# window with a typical sheet typed in through real key events, no tooltip
# open, and the About window. Run after scripts/windows.sh has built the
# program and the probe.
# Usage: scripts/windows-screenshots.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
build=${1:-build-windows}
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
wine=$(grep -m1 '^SHEETMASS_WINE:' "$build/CMakeCache.txt" | cut -d= -f2-)
work=$(mktemp -d)
cp "$build/sheetmassw.exe" "$work/sheetmassw.exe"
cp "$build/tests/windows/window_probe.exe" "$work/probe.exe"
. scripts/xsession.sh
XVFB_SCREEN=800x600x24 start_x
setxkbmap -layout us,ru
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true; stop_x; rm -rf "$work"' EXIT
"$wine" wineboot >/dev/null 2>&1
cd "$work"
probe() { "$wine" ./probe.exe "$@" | tr -d '\r'; }
into() {
  local x y
  read -r x y < <(probe where Форма1 "$1")
  xdotool mousemove "$x" "$y" click 1
  probe focus Форма1 "$1"
}
# Through a file: the program keeps open what the probe wrote to.
"$wine" ./probe.exe start sheetmassw.exe >pid.txt
PROBE_PID=$(tr -d "\r" <pid.txt)
export PROBE_PID
probe wait-window Форма1 20000
id=$(xdotool search --sync --onlyvisible --name "^Масса AL листов\$" | head -n 1)
timeout 10 xdotool windowactivate --sync "$id"
probe focus Форма1 Комбо2
xdotool key Down
probe until Форма1 Комбо2 "номиналу" 5000
into Комбо1 && xdotool type --delay 60 "д16" && xdotool key Return
probe until Форма1 Комбо1 "Д16 (1160)" 5000
for field in "Текст1 2" "Текст4 2000" "Текст5 1000" "Текст6 10"; do
  into "${field% *}" && xdotool type --delay 60 "${field#* }"
done
into Комбо3 && xdotool key Down Down
probe until Форма1 Комбо3 "2" 5000
probe until Форма1 Текст7 "110,8" 5000
# The hint the click opened goes when the pointer leaves.
xdotool mousemove 795 595
probe quiet Форма1 10000
import -frame -window "$id" "$here/docs/windows-main.png"
read -r x y < <(probe where Форма1 Комманда1) && xdotool mousemove "$x" "$y" click 1
probe wait-window Форма2 10000
xdotool mousemove 795 595
probe quiet Форма2 10000
about=$(xdotool search --sync --onlyvisible --name "^О программе" | head -n 1)
import -frame -window "$about" "$here/docs/windows-about.png"
probe close Форма1

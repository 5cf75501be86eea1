#!/usr/bin/env bash
# Cross-builds the rooms without Qt for Windows (the batch as sheetmass.exe,
# and the tests of the core, the alloy table, the field rules, List.abc, the
# seam and the batch) with MinGW-w64, and runs the tests under Wine, in a
# Wine prefix of the build's own. One wineserver is kept for the whole run:
# started cold, each start of Wine costs seconds. No display is needed but
# for the window program, the installer and their tests, run last on a
# virtual display of their own.
# Usage: scripts/windows.sh [BUILD_FOLDER] [LINUX_BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-build-windows}")
linux=$(realpath -m "${2:-build}")
# The byte-for-byte comparison needs the Linux program; without it that
# test would only skip.
[ -x "$linux/sheetmass" ] || { echo "no Linux build in $linux: build it first" >&2; exit 2; }

cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETMASS_WERROR=ON \
  -DSHEETMASS_LINUX_BUILD="$linux" >/dev/null
cmake --build "$folder" -j2

export WINEPREFIX="$folder/wine-prefix" WINEDEBUG=-all
# No Mono or Gecko to offer for installing, and no window to show.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine=$(grep -m1 '^SHEETMASS_WINE:' "$folder/CMakeCache.txt" | cut -d= -f2-)
mkdir -p "$WINEPREFIX"
# A server an interrupted run left behind for this prefix would refuse -p.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# The prefix is made once, before the tests start side by side; the
# services Wine starts with it hold no test's output open.
"$wine" wineboot --init >/dev/null 2>&1
failed=0
ctest --test-dir "$folder" --output-on-failure -j2 -LE window || failed=1

# The windows, the installer and the start-up check want a display, which
# Wine's desktop takes when it starts: a wineserver of their own, started on
# a virtual one, with a Russian layout beside the Latin one (read once, as
# Wine starts), one test at a time.
wineserver -k 2>/dev/null || true
wineserver -w
. scripts/xsession.sh
XVFB_SCREEN=800x600x24 start_x
trap 'wineserver -k 2>/dev/null || true; stop_x' EXIT
setxkbmap -layout us,ru 2>/dev/null || true
wineserver -p
# Wine's desktop and services start here, on the display, holding no test's
# output open.
"$wine" wineboot >/dev/null 2>&1
ctest --test-dir "$folder" --output-on-failure -L window || failed=1
exit "$failed"

#!/usr/bin/env bash
# Start-up of the Windows program under Wine against a bare Win32 window with
# one label, on a virtual display, in one Wine prefix and one wineserver,
# runs interleaved: the time from the start to the first idle. Prints medians
# and their ratio.
# usage: bench/startup-windows.sh [runs] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-31}
build=${2:-build-windows}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETMASS_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target sheetmassw bare_win32_window idle_probe >/dev/null

export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(grep -m1 '^SHEETMASS_WINE:' "$build/CMakeCache.txt" | cut -d= -f2-)
. scripts/xsession.sh
WITH_WM=0 start_x
work=$(mktemp -d)
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true; stop_x; rm -rf "$work"' EXIT
"$wine" wineboot --init >/dev/null 2>&1
# Its List.abc goes beside it.
cp "$build/sheetmassw.exe" "$build/bench/bare_win32_window.exe" "$build/bench/idle_probe.exe" "$work"
cd "$work"
# As the package ships them.
x86_64-w64-mingw32-strip sheetmassw.exe bare_win32_window.exe
# A first start of each, unmeasured: Wine loads its own libraries once.
# The program also until its mode list (control 102) is made: its controls
# come once it is idle, over what the window drew of them.
app() { "$wine" ./idle_probe.exe sheetmassw.exe sheetmass.Форма1 102; }
app >/dev/null
"$wine" ./idle_probe.exe bare_win32_window.exe >/dev/null
for _ in $(seq "$runs"); do
  app >>app
  "$wine" ./idle_probe.exe bare_win32_window.exe >>bare
done

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
idle=$(cut -d' ' -f1 <app | median) ready=$(cut -d' ' -f2 <app | median) bare=$(median <bare)
ratio() { awk -v a="$1" -v b="$bare" 'BEGIN {printf "%.2f", a / b}'; }
# Runs side by side in time, each program's against the bare window's next
# to it: steadier than the ratio of medians on a machine whose speed drifts.
paired=$(paste -d' ' app bare | awk '{print $1 / $3}' | median)
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; $runs runs each, medians, $("$wine" --version)"
printf '| | sheetmassw.exe | bare Win32 window | ratio |\n|---|---|---|---|\n'
printf '| start to first idle, under Wine | %s ms | %s ms | %s× |\n' "$idle" "$bare" "$(ratio "$idle")"
printf '| start to every control made | %s ms | | %s× |\n' "$ready" "$(ratio "$ready")"
printf '| first idle, median of the paired ratios | | | %.2f× |\n' "$paired"
printf '| size | %s KB | %s KB | |\n' "$(($(stat -c %s sheetmassw.exe) / 1024))" \
  "$(($(stat -c %s bare_win32_window.exe) / 1024))"

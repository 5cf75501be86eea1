#!/usr/bin/env bash
# Start-up time and peak memory of build/sheetmass against a bare Qt window,
# on a virtual display, runs interleaved. Prints medians and their ratio.
# usage: bench/startup.sh [runs] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
build=${2:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETMASS_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target sheetmass bare_window startup_probe about_open >/dev/null

. scripts/xsession.sh
WITH_WM=0 start_x
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp "$build/sheetmass" "$work/sheetmass"   # its List.abc goes beside it
export XDG_RUNTIME_DIR="$work"

for _ in $(seq "$runs"); do
  "$build/bench/startup_probe" "$work/sheetmass" >>"$work/app"
  "$build/bench/startup_probe" "$build/bench/bare_window" >>"$work/bare"
done
for _ in $(seq "$runs"); do
  "$build/bench/about_open" >>"$work/about"
done

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
col() { awk -v c="$2" '{print $c}' "$1" | median; }
app_idle=$(col "$work/app" 2); bare_idle=$(col "$work/bare" 2)
app_mem=$(col "$work/app" 3); bare_mem=$(col "$work/bare" 3)
about=$(col "$work/about" 1)

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; $runs runs each, medians"
printf '| | sheetmass | bare Qt window | ratio / difference |\n|---|---|---|---|\n'
printf '| start to window shown and idle | %s ms | %s ms | %s× |\n' "$app_idle" "$bare_idle" \
  "$(awk -v a="$app_idle" -v b="$bare_idle" 'BEGIN {printf "%.2f", a / b}')"
printf '| start to window mapped | %s ms | %s ms | |\n' "$(col "$work/app" 1)" "$(col "$work/bare" 1)"
printf '| peak resident memory | %.1f MiB | %.1f MiB | +%.1f MiB |\n' \
  "$(awk -v k="$app_mem" 'BEGIN {print k / 1024}')" "$(awk -v k="$bare_mem" 'BEGIN {print k / 1024}')" \
  "$(awk -v a="$app_mem" -v b="$bare_mem" 'BEGIN {print (a - b) / 1024}')"
printf '| first opening of the About window | %s ms | | |\n' "$about"

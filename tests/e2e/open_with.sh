#!/usr/bin/env bash
# "Open with" as a desktop does it: the menu entry as installed, its Exec
# line run with a file by gio (the GLib launcher file managers use), on a
# virtual display with buses of the test's own; the box read and answered
# over AT-SPI (open_with.py), the result compared byte for byte with what
# `sheetmass --batch` writes for the same file, and the window's inputs left
# as they were.
# usage: open_with.sh BUILD_FOLDER
set -u
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${SHEETMASS_OWN_BUS:-}" ]; then
  SHEETMASS_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
. "$here/../../scripts/xsession.sh"
scratch_run "$build/sheetmass"
fail() {
  echo "FAIL: $*"
  exit 1
}

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
entry=$prefix/share/applications/org.example.sheetmass.desktop
desktop-file-validate "$entry" || fail "the installed menu entry is not valid"
mkdir -p "$work/заказы"
order=$work/заказы/заказ.csv
# A German export with a title row and one line without a mass.
printf 'Сплав;Считать по;Толщина;Верх;Низ;Длина;Ширина;Кол-во;Знаков\r\nД16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2\r\nД17;номиналу;2;;;2000;1000;10;2\r\n' >"$order"
cp "$order" "$work/копия.csv"

WITH_WM=0 start_x || fail "no virtual display"
/usr/libexec/at-spi-bus-launcher --launch-immediately & server=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PATH=$prefix/bin:$PATH
gio launch "$entry" "$order" 2> >(tee "$work/stderr" >&2)
# Debian's python3, whatever interpreter comes first on PATH: pyatspi is its.
timeout 90 /usr/bin/python3 "$here/open_with.py"
status=$?
[ "$status" = 124 ] && echo "FAIL: the accessibility bus did not answer in time"
# gio leaves the program on its own, no child of this shell: it is found
# by its window.
id=$(wait_window "Масса AL листов" 10) || fail "no window after the box"
pid=$(xdotool getwindowpid "$id") || fail "the window names no process"
"$prefix/bin/sheetmass" --batch "$work/копия.csv" >"$work/batch.csv" 2>/dev/null
cmp "$work/заказы/заказ (масса).csv" "$work/batch.csv" ||
  fail "the result differs from what --batch writes"
cmp "$order" "$work/копия.csv" || fail "the file given was changed"
[ "$(ls "$work/заказы" | wc -l)" = 2 ] || fail "more than the result beside the file: $(ls "$work/заказы")"
kill "$pid"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
pid=""
[ "$status" = 0 ] || exit "$status"
echo PASS

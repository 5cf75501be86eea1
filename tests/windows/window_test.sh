#!/usr/bin/env bash
# The Windows windows under Wine on a virtual display, driven by real key
# and mouse events (xdotool) and read through their own controls (the
# probe, which finds them by control id). Every wait is for something to
# happen, with a deadline; none is a fixed pause.
# Usage: window_test.sh WINE PROGRAM PROBE FOLDER CONSOLE_PROGRAM
set -uo pipefail
wine=$1 program=$2 probe=$3 folder=$4 console=$5
for tool in Xvfb xdotool xclip openbox; do
  command -v "$tool" >/dev/null || { echo "no $tool: the window test needs it"; exit 77; }
done
# The Wine prefix of the run (scripts/windows.sh makes it), not the user's.
[ -n "${WINEPREFIX:-}" ] || { echo "no WINEPREFIX: run through scripts/windows.sh"; exit 77; }
export WINEDEBUG=${WINEDEBUG:--all}
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$folder" && mkdir -p "$folder/app" || exit 1
# The user's folders in the prefix, where an installed copy keeps its inputs
# and every copy its lock: none left from an earlier run.
profile="$WINEPREFIX/drive_c/users/$(id -un)/AppData"
rm -rf "$profile/Roaming/sheetmass" "$profile/Local/sheetmass"
cp "$program" "$folder/app/sheetmassw.exe" && cp "$probe" "$folder/app/probe.exe" &&
  cp "$console" "$folder/app/sheetmass.exe" || exit 1
cd "$folder/app" || exit 1
# Names of controls go to the probe as UTF-8.
export LC_ALL=C.UTF-8
. "$here/scripts/xsession.sh"
# The system DPI from Wine's registry, which one start below sets: put back
# however the test ends, and not left from a run that was cut short.
dpi() {
  local op=$1
  shift
  "$wine" reg "$op" 'HKCU\Control Panel\Desktop' /v LogPixels "$@" /f >/dev/null 2>&1
}
dpi delete
trap '[ -n "${PROBE_PID:-}" ] && probe kill 5000; dpi delete; stop_x' EXIT
# scripts/windows.sh gives the display Wine's desktop is on, with a Russian
# layout beside the Latin one, set before Wine read the keyboard: xdotool
# then finds the Cyrillic letters on keys instead of remapping a key for
# each while Wine may still be reading the old map. Alone, a display of its
# own, which Wine takes if no wineserver of the prefix runs yet.
if [ -z "${DISPLAY:-}" ]; then
  XVFB_SCREEN=800x600x24 start_x || exit 1
  setxkbmap -layout us,ru 2>/dev/null
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
probe() { "$wine" ./probe.exe "$@"; }
# expect NAME TEXT WHAT: the control comes to hold the text.
expect() { probe until Форма1 "$1" "$2" 5000 || fail "$3"; }
# into NAME: a click into the control, as a person gives it the keys, and
# the wait until it has them.
into() {
  local x y
  read -r x y < <(probe where Форма1 "$1") || return 1
  xdotool mousemove "$x" "$y" click 1
  probe focus Форма1 "$1"
}
# xclip serves the clipboard until the next text takes it, or the display ends.
clipboard() { printf '%s' "$1" | xclip -selection clipboard >/dev/null 2>&1; }
# start [FILE]: the program, given the file as Explorer's "open with" gives it.
start() {
  # Through a file: the program holds what the probe wrote to open while it
  # runs, and a pipe would not end before it.
  probe start sheetmassw.exe "$@" > pid.txt 2>&1 || { fail "the program did not start: $(cat pid.txt)"; exit 1; }
  PROBE_PID=$(cat pid.txt)
  export PROBE_PID
  probe wait-window Форма1 20000 || { fail "the main window did not appear"; exit 1; }
  # Given a file, the window is behind its box, which has the keys.
  [ $# -eq 0 ] || return 0
  # Keys go to the window the display has focused: the new window once the
  # window manager has made it the active one.
  local id
  id=$(xdotool search --sync --onlyvisible --name "^Масса AL листов\$" | head -n 1)
  timeout 10 xdotool windowactivate --sync "$id" || fail "the main window never became active"
}
stop() {
  probe close Форма1
  probe gone Форма1 10000 || { fail "the main window did not close"; import -window root unclosed.png; }
  probe ended 10000 || fail "the program did not end with its window"
  PROBE_PID=""
}
# private FILE...: what the program made lets others in on nothing, as the
# Linux side sees it too: Wine turns the security a file is made with into
# its mode. Wine 8 gives the group whatever an entry of the user's gives the
# user (less the umask), so only the others' bits tell what the program did.
private() {
  local f mode
  for f; do
    mode=$(stat -c %a "$f" 2>/dev/null) || { fail "$f was not made"; continue; }
    [ $((8#$mode & 8#007)) -eq 0 ] || fail "$f is mode $mode: others may use it"
  done
}
# saved TEXT: List.abc beside the program comes to hold the text (Windows-1251).
saved() {
  local bytes _
  bytes=$(printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1251)
  for _ in $(seq 100); do
    grep -qF -- "$bytes" List.abc 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

start
# Made where the design puts them: at 96 dpi, its twips / 15 (a field in
# the frame from the frame's corner).
for row in "Текст1 176 112 249 137" "Комманда1 224 4 257 28"; do
  [ "$(probe place Форма1 "${row%% *}" | tr -d '\r')" = "${row#* }" ] || fail "${row%% *} at ${row#* }"
done
# Every caption drawn where the design puts it, bold as it gives them.
probe captions Форма1 "Liberation Sans" || fail "every caption of the main window is drawn bold"
# The «?» button in the design's green.
[ "$(probe face Форма1 Комманда1 | tr -d '\r')" = C0FFC0 ] || fail "the «?» button's face is green"
# The mode list has the focus at the start; a key picks.
probe focus Форма1 Комбо2 || fail "the mode list has the focus at the start"
xdotool key Down
expect Комбо2 "номиналу" "Down in the mode list picks the first mode"
# Wine has no MS Sans Serif: the texts are in the first stand-in it has.
probe font Форма1 Комбо2 "Liberation Sans" || fail "the mode's text is in Liberation Sans"
# A letter in the alloy list finds the grade; the digits go on spelling it,
# and Backspace takes the last back: without it, д196 would spell nothing.
into Комбо1 && xdotool type --delay 60 "д19"
expect Комбо1 "Д19 Д19Т Д19ч" "д19 typed finds the grade Д19"
xdotool key BackSpace && xdotool type --delay 60 "6"
expect Комбо1 "Д16 (1160)" "д19, Backspace, 6 finds the grade Д16"
xdotool key Return
# A pick is one edit: Ctrl+Z takes it back, Ctrl+Y does it again.
xdotool type --delay 60 "в" && xdotool key Return
expect Комбо1 "В124 " "в, Enter picks В124"
xdotool key ctrl+z
expect Комбо1 "Д16 (1160)" "Ctrl+Z after a pick gives back what stood before"
xdotool key ctrl+y
expect Комбо1 "В124 " "Ctrl+Y picks В124 again"
xdotool key ctrl+z
expect Комбо1 "Д16 (1160)" "Ctrl+Z once more"
# A list's edit part takes no more than its room from the keys: the mode
# its 96, the others, with none, the system's 30000.
for row in "Комбо2 96" "Комбо1 30000" "Комбо3 30000"; do
  [ "$(probe limit Форма1 "${row%% *}" | tr -d '\r')" = "${row#* }" ] ||
    fail "${row%% *} takes ${row#* } characters"
done
# The dot becomes the comma, the letter is refused.
into Текст1 && xdotool type --delay 60 "2.5a"
expect Текст1 "2,5" "2.5a typed into the thickness"
# Only the list with the keys shows its text selected.
for list in Комбо1 Комбо2 Комбо3; do
  read -r first end < <(probe selection Форма1 "$list" | tr -d '\r')
  [ "$first" = "$end" ] || fail "$list shows its text selected without the keys ($first..$end)"
done
# Told beside the field, clear of it and of the alloy list above it.
probe tooltip Форма1 "Этот знак здесь не вводится." clear || fail "the refused letter is told, clear of the fields"
# A copied cell, blanks and all, through Ctrl+V; a number written the
# English way is refused whole.
clipboard " 2 000 "
into Текст4 && xdotool key ctrl+v
expect Текст4 "2000" "' 2 000 ' pasted with Ctrl+V"
clipboard "1,250.5"
into Текст5 && xdotool key shift+Insert
expect Текст5 "" "'1,250.5' pasted with Shift+Insert is refused"
probe tooltip Форма1 "Не вставлено: " || fail "the refused paste is told"
# The same from the field's own menu (its right click, then Paste, the fourth
# item down from Undo past the separator), told clear of the fields too.
xdotool mousemove 795 595
probe quiet Форма1 5000 || fail "the refused paste's tooltip stays up"
read -r x y < <(probe where Форма1 Текст5 | tr -d '\r') && xdotool mousemove "$x" "$y" click 3
probe menu Форма1 5000 || fail "a right click opens the field's menu"
xdotool key Down Down Down Down Return
probe tooltip Форма1 "Не вставлено: " clear || fail "the menu's refused paste is told, clear of the fields"
expect Текст5 "" "'1,250.5' pasted from the menu is refused"
xdotool type --delay 60 "1000"
into Текст6 && xdotool type --delay 60 "2"
expect Текст7 "28" "2,77 g/cm³ × 2,5 × 2000 × 1000 mm × 2 is 27,7 kg, 28 to no places"
# A pick of the places recalculates.
into Комбо3 && xdotool key Down
expect Комбо3 "1" "Down in the places list"
expect Текст7 "27,7" "one place"
# The result takes no key.
into Текст7 && xdotool type --delay 60 "5" && xdotool key BackSpace
expect Текст7 "27,7" "the result is read-only"
probe tooltip Форма1 "Массу пишет расчёт" || fail "a key in the result is told why not"
# A hint shows whole, to its last letter.
read -r x y < <(probe where Форма1 Текст6 | tr -d '\r') &&
  xdotool mousemove "$x" "$((y + 60))" mousemove "$x" "$y"
probe tooltip Форма1 "Количество листов, штук" whole || fail "the count's hint shows whole"
# The result's hint, with the reasons of the mass, where the pointer rests.
read -r x y < <(probe where Форма1 Текст7 | tr -d '\r') &&
  xdotool mousemove "$x" "$((y + 60))" mousemove "$x" "$y"
probe tooltip Форма1 "Масса всех листов в кг, результат расчёта
Толщина в расчёте: 2,5 мм
Масса одного листа: 13,85 кг" || fail "the result's hint tells the mass of one sheet"
# Saved as the typing pauses, before any close.
saved "2,5" || fail "List.abc beside the program holds the thickness before the close"
# The About window: the button opens it, Escape closes it.
read -r x y < <(probe where Форма1 Комманда1) && xdotool mousemove "$x" "$y" click 1
probe wait-window Форма2 10000 || fail "the About window did not open"
# With no program for mailto: (a Windows with no mail program), the link
# gives the address in a box.
"$wine" reg export 'HKCR\mailto' mailto.reg /y >/dev/null 2>&1 &&
  "$wine" reg delete 'HKCR\mailto' /f >/dev/null 2>&1 || fail "the mailto: handler not taken away"
read -r x y < <(probe where Форма2 Метка5) && xdotool mousemove "$x" "$y" click 1
probe box Форма2 "Не удалось запустить почтовую программу.
Напишите письмо по адресу
sheetmass@example.org" || fail "no mail program: the address is given in a box"
"$wine" reg import mailto.reg >/dev/null 2>&1 || fail "the mailto: handler not put back"
xdotool key Escape
probe gone Форма2 5000 || fail "Escape closes the About window"
into Текст2 && xdotool type --delay 60 "0.3"
expect Текст2 "0,3" "the upper deviation"
stop
saved "0,3" || fail "the close saves what was typed last"
private List.abc "$profile/Local/sheetmass" "$profile/Local/sheetmass/sheetmass.lock"

# The next start shows what was saved.
start
expect Текст1 "2,5" "the thickness restored"
expect Комбо1 "Д16 (1160)" "the grade restored"
expect Текст7 "27,7" "the result worked out at the start"
# Text dragged from another program: through the paste rule, whole or not
# at all, each refusal told; the result takes none. Field, text, what the
# field then holds, the tooltip, what is tested.
into Текст1 && xdotool key End BackSpace BackSpace BackSpace
expect Текст1 "" "the thickness cleared"
[ "$(probe text Форма1 Текст7 | tr -d '\r')" != "27,7" ] || fail "no mass of 27,7 without a thickness"
drops=(
  "Текст1|2.5|2,5||'2.5' dropped on the thickness"
  "Текст7|2.5|27,7|Массу пишет расчёт|a drop on the result is refused, the dropped thickness counted"
  "Текст4|1,2.5|2000|Не вставлено: в числе одна запятая.|'1,2.5' dropped on the width is refused whole"
  "Комбо1|АМг1 (1510)|АМг1 (1510)||a grade's name dropped on the alloy list picks it"
)
for row in "${drops[@]}"; do
  IFS='|' read -r field text holds tip what <<<"$row"
  probe quiet Форма1 5000 || fail "an earlier tooltip stays up"
  probe drop Форма1 "$field" "$text" >/dev/null
  expect "$field" "$holds" "$what"
  [ -z "$tip" ] || probe tooltip Форма1 "$tip" || fail "$what: told"
done
# On the Latin layout the keys of д16 type l16: the grade is found all the same.
into Комбо1 && xdotool key End shift+Home BackSpace && xdotool type --delay 60 "l16"
expect Комбо1 "Д16 (1160)" "l16 typed on the Latin layout finds the grade Д16"
xdotool key Return
# The session ends (logoff, shutdown) before the pause's save: what was
# typed last is saved, and the program goes with the session.
into Текст5 && xdotool key End shift+Home && xdotool type --delay 60 "1234"
expect Текст5 "1234" "the width retyped"
"$wine" wineboot --end-session >/dev/null 2>&1
saved "1234" || fail "the end of the session saves what was typed last"
probe ended 10000 || stop

# A file given to the window: named on the command line, as "open with"
# and a drop on the program's icon name it, then dropped from Explorer (the
# probe's drag) on a field and on the window itself. Each time the box
# tells of it, offers to open the result and is answered with OK; the inputs
# stay; each result is what sheetmass.exe --batch writes for the file.
mkdir -p "$folder/заказы"
order=$folder/заказы/заказ.csv
printf 'Сплав;Считать по;Толщина;Верх;Низ;Длина;Ширина;Кол-во;Знаков\r\nД16 (1160);номиналу;2;0,2;-0,2;1.500;1.000;10;2\r\nД17;номиналу;2;;;2000;1000;10;2\r\n' >"$order"
given=$("$wine" winepath -w "$order" 2>/dev/null | tr -d '\r')
told() {
  printf '«заказ.csv»: 2 строки, итого 83,1 кг.
Не в итоге: 1 строка без массы.

строка 3: сплав «Д17» — не марка из списка и не плотность, ближе всего: «ВД17», «Д1 (1110)», «Д12 (1521)»

Результат записан рядом: «%s».
[Открыть результат]
[OK]' "$1"
}
start "$given"
[ "$(probe filebox Форма1 "«заказ.csv»" | tr -d '\r')" = "$(told "заказ (масса).csv")" ] ||
  fail "sheetmassw.exe FILE tells of the file in a box"
expect Текст1 "2,5" "the inputs stay as they were when a file is given"
expect Текст5 "1234" "the width stays too"
for row in "Текст4|заказ (масса 2).csv" "Форма1|заказ (масса 3).csv"; do
  probe drop-file Форма1 "${row%%|*}" "$given" >/dev/null
  [ "$(probe filebox Форма1 "«заказ.csv»" | tr -d '\r')" = "$(told "${row#*|}")" ] ||
    fail "a file dropped on ${row%%|*} is told in a box, its result in «${row#*|}»"
done
expect Текст4 "2000" "a file dropped on the length is no text for it"
"$wine" ./sheetmass.exe --batch "$given" >batch.csv 2>/dev/null
for result in "заказ (масса).csv" "заказ (масса 2).csv" "заказ (масса 3).csv"; do
  cmp -s "$folder/заказы/$result" batch.csv || fail "«$result» is not what --batch writes"
done
stop

# At 144 dpi the window grows with it: places at 1,5 times. Installed now
# (the installer's uninstaller beside it), the copy keeps its inputs in the
# data folder, not beside itself, even where it may write there.
dpi add /t REG_DWORD /d 144
cp List.abc zip-copy.abc && : > uninstall.exe
start
for row in "Текст1 264 168 374 206" "Комманда1 336 6 386 42"; do
  at=$(probe place Форма1 "${row%% *}" | tr -d '\r')
  [ "$at" = "${row#* }" ] || fail "at 144 dpi, ${row%% *} at ${row#* }, not $at"
done
probe captions Форма1 || fail "every caption drawn at 144 dpi"
expect Текст1 "" "an installed copy does not read the inputs beside it"
stop
dpi delete
cmp -s List.abc zip-copy.abc || fail "an installed copy wrote the inputs beside it"
private "$profile/Roaming/sheetmass" "$profile/Roaming/sheetmass/List.abc"

[ "$failures" -eq 0 ] && echo "the windows under Wine: all passed"
exit $((failures > 0))

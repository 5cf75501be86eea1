#!/usr/bin/env bash
# A person's session with the real program on a virtual display: real X11
# key events and clipboard pastes into the fields, the lists worked from the keyboard, the window
# closed through the window manager; then the bytes of List.abc, and a second
# start that must show the same inputs (read back through the X selection, as
# a person selecting the text would).
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp "$program" "$work/sheetmass"
export XDG_RUNTIME_DIR=$work HOME=$work
fail() { echo "FAIL: $*"; exit 1; }

start_x || fail "no virtual display"

start() {
  "$work/sheetmass" & pid=$!
  id=$(wait_window "Масса AL листов" 30) || fail "window did not map"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1
  # Keys go where the input focus is, which the window takes after activation.
  for _ in $(seq 50); do [ "$(xdotool getwindowfocus)" = "$id" ] && break; sleep 0.1; done
}
stop() {
  close_window "$id"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "still running after the close request"; }
  wait "$pid" || fail "exit status $?"
}
key() { xdotool key --delay 20 "$@"; }
type_() { xdotool type --delay 30 -- "$1"; }
# Puts a spreadsheet cell's text, line break and all, on the clipboard, and
# waits until the clipboard gives it back.
clip() {
  printf '%s\n' "$1" | xclip -selection clipboard
  for _ in $(seq 30); do [ "$(xclip -o -selection clipboard)" = "$1" ] && break; sleep 0.1; done
}
# The text of the focused field, selected as a person would select it; each
# field read shows another text than the one before it.
shown() {
  local before now
  before=$(xclip -o -selection primary 2>/dev/null)
  key End shift+Home
  for _ in $(seq 30); do
    now=$(xclip -o -selection primary 2>/dev/null) && [ "$now" != "$before" ] && break
    sleep 0.1
  done
  printf '%s\n' "$now"
}

# First start: no List.abc yet, so an empty one appears at once.
start
[ -f "$work/List.abc" ] && [ ! -s "$work/List.abc" ] || fail "no empty List.abc at first start"

key Down                         # mode: the first entry, "номиналу"
key Tab; key --repeat 85 Down    # alloy: the 85th grade, "Д16 (1160)"
key Tab; type_ "2.5"             # the dot types the comma
got=$(shown)
[ "$got" = "2,5" ] || fail "2.5 typed shows '$got', not 2,5"
key BackSpace; type_ "2a"        # letters are refused
key Tab; type_ "0,2 "
key Tab; type_ "-0,2Ж"
key Tab; clip "2 000"; key ctrl+v      # a copied cell: its line break and grouping go
key Tab; clip "1000,55"; key ctrl+v    # too long for the field: refused whole
type_ "1000"
key Tab; type_ "1,"
key Tab; key Down Down           # places: "2"
key Tab
result=$(shown)
[ "$result" = "11,08" ] || fail "result shows '$result', not 11,08"
stop

# The typical save, byte for byte.
expected="$here/../fixtures/typical.abc"
cmp "$work/List.abc" "$expected" || { od -A d -t x1 "$work/List.abc"; fail "List.abc is not the expected 214 bytes"; }

# Second start: every input comes back; closing again changes no byte.
start
want=("номиналу" "Д16 (1160)" "2" "0,2" "-0,2" "2000" "1000" "1" "2" "11,08")
for i in "${!want[@]}"; do
  got=$(shown)
  [ "$got" = "${want[$i]}" ] || fail "field $((i + 1)) shows '$got', not '${want[$i]}'"
  key Tab
done
stop
cmp "$work/List.abc" "$expected" || fail "a second close changed List.abc"

# On the Latin layout the keys of д16 type l16: the grade is found all the same.
setxkbmap us || fail "no Latin layout"
start
key Tab End shift+Home BackSpace                 # the alloy, emptied
key l 1 6 Return
got=$(shown)
[ "$got" = "Д16 (1160)" ] || fail "l16 typed on the Latin layout finds '$got', not Д16 (1160)"
stop

# Third start, on a Russian keyboard: the keys that carry the Latin dot and
# comma type the decimal comma, letters in the alloy field find the grade,
# and a refused key is heard: the desktop's bell, counted as it rings.
printf 'Bell() shell "echo >> %s/bells"\n' "$work" >"$work/evd.cf"
: >"$work/bells"
xkbevd -cfg "$work/evd.cf" >/dev/null 2>&1 & evd=$!
bells() { sleep 0.5; wc -l <"$work/bells"; }
setxkbmap ru || fail "no Russian layout"
start
key Tab End shift+Home BackSpace                 # the alloy, emptied
key Cyrillic_DE 1 6 Return                       # Д16, as typed on that keyboard
got=$(shown)
[ "$got" = "Д16 (1160)" ] || fail "Д16 typed finds '$got', not Д16 (1160)"
key Tab End shift+Home BackSpace
key 2 Cyrillic_yu 5                              # 2ю5: the key of the Latin dot
got=$(shown)
[ "$got" = "2,5" ] || fail "2ю5 typed shows '$got', not 2,5"
rung=$(bells)
key End Cyrillic_be                              # a second comma
[ "$(bells)" -gt "$rung" ] || fail "a refused key rang no bell"
key Tab Tab Tab Tab Tab Tab Tab                  # on to the result
result=$(shown)
[ "$result" = "13,85" ] || fail "result shows '$result', not 13,85"
stop
kill "$evd" 2>/dev/null
echo "PASS: typed, saved 214 bytes, restored all nine inputs, a grade typed on the wrong layout, typed on a Russian keyboard"

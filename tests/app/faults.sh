#!/usr/bin/env bash
# What a hostile machine does to List.abc, done to the real program, one row
# a fault. Each row starts the program in a folder of its own, with a home of
# its own, and judges by what is left on disk and by how the program ended.
# Usage: faults.sh <program> <session manager> [row ...]
set -u
program=$1 session_manager=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
typical="$here/../../fuzz/corpus/typical.abc"

failures=0
fail() { echo "FAIL [$row]: $*"; failures=$((failures + 1)); return 1; }

# A copy of the program in $bin, the user's data folder at $data.
fresh() {
  work=$(mktemp -d)
  chmod 755 "$work"
  bin="$work/bin"
  mkdir -p "$bin" "$work/home"
  cp "$program" "$bin/sheetmass"
  data="$work/home/.local/share/sheetmass"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen
  unset SESSION_MANAGER
}

# The typical save with another number of sheets: newer inputs to restore.
other() {
  cp "$typical" "$1"
  printf '3' | dd of="$1" bs=1 seek=154 conv=notrunc status=none
}

# launch [command prefix ...]: starts the program, its stderr kept (through
# a pipe, which no file-size limit touches, read by no child of the program).
launch() {
  [ -p "$work/errors" ] || mkfifo "$work/errors"
  cat "$work/errors" >>"$work/stderr" &
  reader=$!
  "$@" "$bin/sheetmass" 2>"$work/errors" &
  pid=$!
  sleep "${SETTLE:-1}"
}

# stop SECONDS: SIGTERM, then the program must end by itself in time.
stop() {
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    fail "still running $1 s after SIGTERM"
    return 1
  fi
  wait "$pid"
  status=$?
  wait "$reader"
}

# As an ordinary user, with a home of that user's: permission bits do not
# stop root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all)
fi
own_home() {
  [ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$work/home"
}

same() { cmp -s "$1" "$2"; }

row_fifo_as_list() {
  mkfifo "$bin/List.abc"
  launch
  stop 5 || return
  [ -p "$bin/List.abc" ] || fail "the FIFO was replaced"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = 204 ] || fail "no save in the data folder"
}

row_device_as_list() {
  ln -s /dev/zero "$bin/List.abc"
  launch
  stop 5 || return
  [ "$(readlink "$bin/List.abc")" = /dev/zero ] || fail "the link was replaced"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = 204 ] || fail "no save in the data folder"
}

row_newer_copy_in_data_folder() {
  cp "$typical" "$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  mkdir -p "$data"
  other "$data/List.abc"
  launch
  stop 5 || return
  same "$bin/List.abc" "$data/List.abc" || fail "the older copy came back"
}

# The folder takes no new file, List.abc may be written: the nine items go
# in place. Killed before each write, the file holds at every offset the old
# byte or the new one, and is never shorter.
row_killed_while_writing_in_place() {
  mkdir -p "$data"
  other "$work/newer"
  local n complete="$work/complete"
  cp "$typical" "$work/old"
  printf 'tail' >>"$work/old"
  for n in 0 1 2 3 4 5 6 7 8 9; do
    cp "$work/old" "$bin/List.abc"
    chmod 666 "$bin/List.abc"
    touch -d '1 hour ago' "$bin/List.abc"
    cp "$work/newer" "$data/List.abc"
    own_home
    chmod 555 "$bin"
    if [ "$n" = 0 ]; then
      launch "${as_user[@]}"
      stop 5 || return
      cp "$bin/List.abc" "$complete"
      same "$complete" "$bin/List.abc" && ! same "$complete" "$typical" || fail "no save in place"
      [ ! -e "$data/List.abc" ] || same "$data/List.abc" "$work/newer" ||
        fail "the data folder's copy changed"
    else
      launch strace -f -qq -o /dev/null -P "$bin/List.abc" -e trace=write,pwrite64,pwritev,pwritev2,writev \
        -e inject=write,pwrite64,pwritev,pwritev2,writev:signal=KILL:when="$n" "${as_user[@]}"
      pkill -TERM -P "$pid" -x sheetmass
      { wait "$pid"; } 2>/dev/null # killed in mid-save, as planned
      local old new now size
      size=$(stat -c %s "$bin/List.abc")
      [ "$size" -ge 218 ] || fail "write $n: the file shrank to $size bytes"
      now=$(od -An -v -tx1 -w1 "$bin/List.abc")
      [ "$n" != 1 ] || same "$bin/List.abc" "$work/old" || fail "the first write went through"
      old=$(od -An -v -tx1 -w1 "$work/old")
      new=$(od -An -v -tx1 -w1 "$complete")
      paste <(echo "$old") <(echo "$new") <(echo "$now") |
        awk -v n="$n" '$3 != $1 && $3 != $2 { print "byte " NR - 1 " after write " n ": " $3; bad = 1 }
                       END { exit bad }' || fail "write $n: bytes neither old nor new"
    fi
    chmod 755 "$bin"
  done
}

row_signal_when_nothing_can_be_saved() {
  mkdir "$bin/List.abc"
  rm -rf "$work/home"
  touch "$work/home" # no data folder can be made under a plain file
  launch
  stop 5 || return
  grep -q 'не сохранены' "$work/stderr" || fail "no word of the failure on stderr"
}

row_cancelled_logout_then_more_typing() {
  start_x || { fail "no virtual display"; return; }
  local address id
  coproc SM { "$session_manager"; }
  read -r -t 5 address <&"${SM[0]}"
  export SESSION_MANAGER=${address#listening }
  QT_QPA_PLATFORM=xcb launch
  local said=""
  read -r -t 10 said <&"${SM[0]}"
  [ "$said" = registered ] || fail "the program did not join the session"
  id=$(wait_window "Масса AL листов" 20) || fail "no window"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1
  sleep 0.3
  xdotool key Tab Tab
  xdotool type 5
  echo save >&"${SM[1]}"
  read -r -t 10 said <&"${SM[0]}"
  [ "$said" = save-done ] || fail "the session's save got no answer"
  echo cancel >&"${SM[1]}"
  sleep 0.3
  xdotool type 7
  close_window "$id"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" "$SM_PID" 2>/dev/null
  wait "$pid" "$SM_PID" 2>/dev/null
  stop_x
  # Текст1 at 100: tag 8, two bytes, "57".
  [ "$(od -An -tx1 -j100 -N6 "$bin/List.abc" | tr -d ' ')" = 080002003537 ] ||
    fail "typing after the cancelled logout was lost"
}

row_folder_with_undecodable_name() {
  local odd="$work/"$'\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xe0' # "Программа" in Windows-1251
  mv "$bin" "$odd"
  bin=$odd
  mkdir "$work/cwd"
  cd "$work/cwd" || return
  launch
  cd - >/dev/null || return
  stop 5 || return
  [ -z "$(ls -A "$work/cwd")" ] || fail "wrote into the current folder"
  [ ! -e "$bin/List.abc" ] || fail "wrote into a folder it cannot name"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = 204 ] || fail "no save in the data folder"
}

row_file_size_limit() {
  cp "$typical" "$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  mkdir -p "$data"
  other "$data/List.abc"
  launch sh -c 'ulimit -f 0; exec "$0"'
  stop 5 || return
  [ "$status" = 0 ] || fail "ended with status $status"
  grep -q 'не сохранены' "$work/stderr" || fail "no word of the failure on stderr"
  same "$bin/List.abc" "$typical" || fail "List.abc changed"
  [ "$(ls -A "$bin")" = "$(printf 'List.abc\nsheetmass')" ] || fail "left files behind"
}

# The signal socket and every other descriptor stay out of the programs
# the About window's mail link starts.
row_descriptors_close_on_exec() {
  local fd flags inherited
  inherited=" $(ls /proc/$BASHPID/fd | tr '\n' ' ') "
  launch
  for fd in /proc/"$pid"/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 2 ] && [[ $inherited != *" $fd "* ]] || continue
    flags=$(awk '/^flags:/ { print $2 }' /proc/"$pid"/fdinfo/"$fd" 2>/dev/null) || continue
    [ -n "$flags" ] || continue
    (((8#$flags & 8#2000000) != 0)) || fail "descriptor $fd ($(readlink /proc/"$pid"/fd/"$fd")) is inherited"
    if [[ $(readlink /proc/"$pid"/fd/"$fd") == socket:* ]]; then
      (((8#$flags & 8#4000) != 0)) || fail "socket $fd blocks"
    fi
  done
  stop 5
}

rows=("$@")
[ ${#rows[@]} -gt 0 ] || rows=($(declare -F | awk '$3 ~ /^row_/ { sub(/^row_/, "", $3); print $3 }'))
for row in "${rows[@]}"; do
  fresh
  before=$failures
  "row_$row"
  [ "$failures" = "$before" ] && echo "ok   [$row]"
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
done
[ "$failures" = 0 ] && echo PASS
exit $((failures > 0))

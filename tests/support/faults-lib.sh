# The helpers of tests/app/faults.sh: a fresh folder and home for each row,
# starting the program and waiting until it is ready, ending it, acting as
# two users, typing on the virtual display, reading List.abc's bytes.
# Sourced after scripts/xsession.sh. Reads $program (the built program),
# $typical (the typical save) and $row; counts into $failures; sets $work,
# $bin, $data, $pid, $pids and $status, and $skipped when a row cannot run.
# shellcheck shell=bash disable=SC2034 # the names are the rows'

# x86-64 system call numbers, as /proc/PID/syscall names the call a thread
# waits in.
readonly SYS_POLL=7 SYS_PPOLL=271
# open(2) flags, as /proc/PID/fdinfo shows them (octal).
readonly O_NONBLOCK=$((8#4000)) O_CLOEXEC=$((8#2000000))
# The calls that can write List.abc's bytes, for strace to trace or fail.
readonly WRITE_CALLS=write,pwrite64,pwritev,pwritev2,writev
# Two ordinary users sharing a group.
readonly VICTIM_UID=4101 ATTACKER_UID=4102 SHARED_GID=4103
# List.abc: the size of a first save (eight empty items) and of the typical
# save; where Текст1's item starts (tag, byte count, the thickness), and
# the first digits of the thickness and of Текст6, the number of sheets.
readonly FIRST_SAVE_SIZE=204 TYPICAL_SIZE=214 TEXT1_AT=100 THICKNESS_AT=104 COUNT_AT=154

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
  unset SESSION_MANAGER XDG_DATA_HOME
  pids=() readers=() holders=() skipped=""
}

# The typical save with another number of sheets: newer inputs to restore.
other() {
  cp "$typical" "$1"
  printf '3' | dd of="$1" bs=1 seek="$COUNT_AT" conv=notrunc status=none
}

# The processes running this row's copy of the program, under whatever
# wrapper started them.
program_pids() {
  local p
  for p in $(pgrep -x sheetmass); do
    [ "$(readlink "/proc/$p/exe" 2>/dev/null)" = "$bin/sheetmass" ] && echo "$p"
  done
}

signal_copies() {
  local p
  for p in $(program_pids); do kill -"$1" "$p" 2>/dev/null; done
}

# Whether any copy started is still running.
running() {
  local p
  for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && return 0; done
  return 1
}

# wait_ready [COPIES]: until that many copies wait in their event loops, the
# restore done: the main thread sleeps in poll on the loop's descriptors (a
# round trip to the display at start-up polls one).
wait_ready() {
  local p call count ready
  for _ in $(seq 1500); do
    ready=0
    for p in $(program_pids); do
      read -r call _ count _ <"/proc/$p/syscall" 2>/dev/null || continue
      { [ "$call" = "$SYS_POLL" ] || [ "$call" = "$SYS_PPOLL" ]; } && [ $((count)) -ge 2 ] && ready=$((ready + 1))
    done
    [ "$ready" -ge "${1:-1}" ] && return 0
    running || break
    sleep 0.02
  done
  fail "the program did not get to its event loop"
}

# launch [command prefix ...]: starts a copy of the program, its stderr kept
# (through a pipe, which no file-size limit touches, read by no child of
# the program), and waits until it is ready.
launch() {
  [ -p "$work/errors" ] || mkfifo "$work/errors"
  cat "$work/errors" >>"$work/stderr" &
  readers+=($!)
  "$@" "$bin/sheetmass" 2>"$work/errors" &
  pid=$!
  pids+=("$pid")
  wait_ready ${#pids[@]}
}

# ended SECONDS: waits until every copy started has ended; false if one is
# still running then, after it has been killed.
ended() {
  local p alive=0
  for _ in $(seq $(($1 * 50))); do
    running || break
    sleep 0.02
  done
  running && alive=1 && kill -KILL "${pids[@]}" 2>/dev/null
  for p in "${pids[@]}"; do
    { wait "$p"; } 2>/dev/null # a kill a row planned is no news
    status=$?
  done
  [ ${#readers[@]} -eq 0 ] || wait "${readers[@]}"
  pids=() readers=()
  [ "$alive" = 0 ]
}

# stop SECONDS [SIGNAL]: SIGTERM (or SIGNAL) to every copy, which must end
# by itself in time; $status is how the last one ended.
stop() {
  signal_copies "${2:-TERM}"
  ended "$1" || fail "still running $1 s after SIG${2:-TERM}"
}

# Ordinary users: permission bits do not stop root. Without root, the one
# running the test is the victim, and rows that need two users skip.
victim=() attacker=()
if [ "$(id -u)" -eq 0 ]; then
  victim=(setpriv --reuid="$VICTIM_UID" --regid="$VICTIM_UID" --groups="$SHARED_GID" --inh-caps=-all)
  attacker=(setpriv --reuid="$ATTACKER_UID" --regid="$ATTACKER_UID" --groups="$SHARED_GID" --inh-caps=-all)
fi
own_home() {
  [ ${#victim[@]} -eq 0 ] || chown -R "$VICTIM_UID:$VICTIM_UID" "$work/home"
}
two_users() {
  [ ${#victim[@]} -gt 0 ] && return 0
  skipped="needs root to act as two users"
  return 1
}

# type_in TEXT FIELD: types TEXT into the focused field on the virtual
# display and waits until the program has taken every key: selected, the
# field's whole text FIELD is then the selection the program offers.
type_in() {
  xdotool type "$1"
  xdotool key shift+Home
  for _ in $(seq 500); do
    if [ "$(xclip -o -selection primary 2>/dev/null)" = "$2" ]; then
      xdotool key End
      return 0
    fi
    sleep 0.02
  done
  fail "the program did not take \"$1\""
}

# type_thickness DIGIT [command prefix ...]: starts a copy on the virtual
# display (started here when none runs), types DIGIT over the thickness,
# Текст1, and sets $window.
type_thickness() {
  local digit=$1
  shift
  [ -n "${XVFB_PID:-}" ] || start_x || { fail "no virtual display"; return 1; }
  QT_QPA_PLATFORM=xcb launch "$@"
  window=$(wait_window "Масса AL листов" 20) || { fail "no window"; return 1; }
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  xdotool key Tab Tab
  type_in "$digit" "$digit"
}

# thickness FILE: the digit the file holds as a one-digit thickness, or its
# item's bytes in hexadecimal when it holds anything else.
thickness() {
  local item
  item=$(hex_at "$TEXT1_AT" 5 "$1")
  [[ $item == 080001003? ]] && echo "${item:9:1}" || echo "${item:-nothing}"
}

# hold_lock FILE [command prefix ...]: holds an flock on the file, as that
# user, until the row ends.
hold_lock() {
  local file=$1
  shift
  "$@" flock -F -x "$file" sleep 60 &
  holders+=($!)
  for _ in $(seq 250); do
    flock -n "$file" true 2>/dev/null || return 0
    sleep 0.02
  done
  fail "could not lock $file"
}

# hex_at OFFSET COUNT FILE: those bytes of the file, in hexadecimal.
hex_at() { od -An -tx1 -j"$1" -N"$2" "$3" 2>/dev/null | tr -d ' \n'; }

same() { cmp -s "$1" "$2"; }

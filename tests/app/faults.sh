#!/usr/bin/env bash
# What a hostile machine does to List.abc, done to the real program, one row
# a fault. Each row starts the program in a folder of its own, with a home of
# its own, and judges by what is left on disk and by how the program ended.
# Rows about what one user can do to another run the program as two
# ordinary users (named in faults-lib.sh); they need root to arrange that
# and are skipped without it (exit 77 when nothing else ran).
# Usage: faults.sh <program> <session manager> [row ...]
set -u
program=$1 session_manager=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
# shellcheck source=SCRIPTDIR/../support/faults-lib.sh
. "$here/../support/faults-lib.sh"
typical="$here/../fixtures/typical.abc"

# The other users must read the sanitizers' suppressions wherever the
# checkout lies (a private folder keeps them out, and the check then fails).
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]] && [ -r "${BASH_REMATCH[1]}" ]; then
  suppressions=$(mktemp)
  cp "${BASH_REMATCH[1]}" "$suppressions" && chmod 644 "$suppressions"
  export LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$suppressions}
fi

failures=0 ran=0

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
      launch "${victim[@]}"
      stop 5 || return
      cp "$bin/List.abc" "$complete"
      same "$complete" "$bin/List.abc" && ! same "$complete" "$typical" || fail "no save in place"
      [ ! -e "$data/List.abc" ] || same "$data/List.abc" "$work/newer" ||
        fail "the data folder's copy changed"
    else
      launch strace -f -qq -o /dev/null -P "$bin/List.abc" -e trace="$WRITE_CALLS" \
        -e inject="$WRITE_CALLS":signal=KILL:when="$n" "${victim[@]}"
      signal_copies TERM
      ended 5 # killed in mid-save, as planned
      local old new now size
      size=$(stat -c %s "$bin/List.abc")
      [ "$size" -ge $((TYPICAL_SIZE + 4)) ] || fail "write $n: the file shrank to $size bytes"
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
  [ "$status" = 1 ] || fail "ended with status $status: whoever sent the signal cannot tell"
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
  xdotool key Tab Tab
  type_in 5 5
  echo save >&"${SM[1]}"
  read -r -t 10 said <&"${SM[0]}"
  [ "$said" = save-done ] || fail "the session's save got no answer"
  # Текст1: tag 8, the byte count, the digits.
  [ "$(hex_at "$TEXT1_AT" 5 "$bin/List.abc")" = 0800010035 ] || fail "the session's save request saved nothing"
  echo cancel >&"${SM[1]}"
  type_in 7 57
  close_window "$id"
  ended 5 || fail "the window's close did not end the program"
  kill "$SM_PID" 2>/dev/null
  wait "$SM_PID" 2>/dev/null
  stop_x
  [ "$(hex_at "$TEXT1_AT" 6 "$bin/List.abc")" = 080002003537 ] ||
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
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = "$FIRST_SAVE_SIZE" ] || fail "no save in the data folder"
}

row_file_size_limit() {
  cp "$typical" "$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  mkdir -p "$data"
  other "$data/List.abc"
  launch sh -c 'ulimit -f 0; exec "$0"'
  stop 5 || return
  [ "$status" = 1 ] || fail "nothing saved, yet ended with status $status"
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
    (((8#$flags & O_CLOEXEC) != 0)) || fail "descriptor $fd ($(readlink /proc/"$pid"/fd/"$fd")) is inherited"
    if [[ $(readlink /proc/"$pid"/fd/"$fd") == socket:* ]]; then
      (((8#$flags & O_NONBLOCK) != 0)) || fail "socket $fd blocks"
    fi
  done
  stop 5
}

# Another user plants List.abc as a link to a file of the user who runs the
# program: in a sticky folder, a group's folder and that user's own folder
# (where the victim may make no file, so the save would go in place), at
# start or swapped in after the restore. The victim's file stays as it was,
# the link stays, and the inputs go to the victim's data folder.
row_link_planted_by_another_user() {
  two_users || return
  local place when secret="$work/home/.bashrc"
  for place in sticky group theirs; do
    for when in start restore; do
      rm -rf "$data" "$bin/List.abc"
      printf 'PATH=/usr/bin\n' | tee "$secret" >"$work/secret"
      own_home
      case $place in
        sticky) chown 0:0 "$bin" && chmod 1777 "$bin" ;;
        group) chown "$ATTACKER_UID:$SHARED_GID" "$bin" && chmod 2775 "$bin" ;;
        theirs) chown "$ATTACKER_UID:$ATTACKER_UID" "$bin" && chmod 755 "$bin" ;;
      esac
      other "$work/planted"
      "${attacker[@]}" sh -c 'cp "$1" "$2/List.abc" && chmod 666 "$2/List.abc"' - "$work/planted" "$bin"
      [ "$when" = start ] && "${attacker[@]}" ln -sfn "$secret" "$bin/List.abc"
      launch "${victim[@]}"
      [ "$when" = restore ] &&
        "${attacker[@]}" sh -c 'ln -s "$1" "$2/.swap" && mv -fT "$2/.swap" "$2/List.abc"' - "$secret" "$bin"
      stop 5 || return
      same "$secret" "$work/secret" || fail "$place, link at $when: the victim's file was written"
      [ "$(readlink "$bin/List.abc")" = "$secret" ] || fail "$place, link at $when: the link was replaced"
      [ "$(stat -c %s "$data/List.abc" 2>/dev/null || echo 0)" -ge "$FIRST_SAVE_SIZE" ] ||
        fail "$place, link at $when: no save in the data folder"
    done
  done
  chown 0:0 "$bin" && chmod 755 "$bin"
}

# List.abc with a second name: replaced by rename where the folder takes a
# file, else saved in the data folder; the other name never changes.
row_hard_linked_list() {
  local mode
  mkdir -p "$data"
  for mode in 755 555; do
    cp "$typical" "$bin/List.abc"
    chmod 666 "$bin/List.abc"
    touch -d '1 hour ago' "$bin/List.abc"
    rm -f "$work/second-name"
    ln "$bin/List.abc" "$work/second-name"
    other "$data/List.abc"
    own_home
    [ ${#victim[@]} -eq 0 ] || chown "$VICTIM_UID" "$bin"
    chmod "$mode" "$bin"
    launch "${victim[@]}"
    stop 5 || return
    chmod 755 "$bin"
    same "$work/second-name" "$typical" || fail "folder $mode: written through the second name"
    if [ "$mode" = 755 ]; then
      same "$bin/List.abc" "$data/List.abc" || fail "folder $mode: List.abc not replaced"
    else
      same "$bin/List.abc" "$typical" || fail "folder $mode: List.abc written in place"
    fi
  done
}

row_set_id_bits_are_not_handed_on() {
  cp "$typical" "$bin/List.abc"
  [ ${#victim[@]} -eq 0 ] || chown -R "$VICTIM_UID:$VICTIM_UID" "$bin" # chown clears the set-id bits
  chmod 6777 "$bin/List.abc"
  own_home
  launch "${victim[@]}"
  stop 5 || return
  [ "$(stat -c %a "$bin/List.abc")" = 777 ] || fail "saved with mode $(stat -c %a "$bin/List.abc")"
}

# The display goes away while the window is open: what was typed, or on
# Wayland (where nothing types) what the restore cut to its room, is saved
# before Qt ends the process.
row_display_goes_away() {
  start_x || { fail "no virtual display"; return; }
  QT_QPA_PLATFORM=xcb launch
  local id
  id=$(wait_window "Масса AL листов" 20) || fail "no window"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1
  xdotool key Tab Tab
  type_in 5 5
  kill -KILL "$XVFB_PID"
  ended 10 || fail "X server gone: still running"
  { stop_x; } 2>/dev/null
  [ "$(hex_at "$TEXT1_AT" 5 "$bin/List.abc")" = 0800010035 ] || fail "X server gone: the typing was lost"

  mkdir -m 700 "$work/runtime"
  cp "$typical" "$bin/List.abc"
  printf '\x08\x00\x07\x001234567' | dd of="$bin/List.abc" bs=1 seek="$TEXT1_AT" conv=notrunc status=none
  XDG_RUNTIME_DIR=$work/runtime weston --backend=headless-backend.so --socket=faults \
    --idle-time=0 --log="$work/weston.log" &
  local weston=$!
  for _ in $(seq 250); do
    [ -S "$work/runtime/faults" ] && break
    sleep 0.02
  done
  XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=faults QT_QPA_PLATFORM=wayland launch
  kill -KILL "$weston"
  wait "$weston" 2>/dev/null
  ended 10 || fail "compositor gone: still running"
  [ "$(hex_at "$TEXT1_AT" 10 "$bin/List.abc")" = 08000600313233343536 ] ||
    fail "compositor gone: the inputs were lost"
}

# A List.abc of 64 MiB: saved whole, by rename, its tail the same, at the
# cost in memory of a small one.
row_large_list_costs_no_memory() {
  mkdir -p "$data"
  local size peak=() before
  for size in 0 64; do
    cp "$typical" "$bin/List.abc"
    head -c "${size}M" /dev/urandom >>"$bin/List.abc"
    cp "$bin/List.abc" "$work/old"
    touch -d '1 hour ago' "$bin/List.abc"
    other "$data/List.abc"
    before=$(stat -c %i "$bin/List.abc")
    launch /usr/bin/python3 -c 'import resource, subprocess, sys
status = subprocess.call(sys.argv[2:])
open(sys.argv[1], "w").write(str(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss))
sys.exit(status)' "$work/peak"
    stop 10 || return
    peak+=("$(cat "$work/peak")")
    cmp -s -i "$TYPICAL_SIZE" "$bin/List.abc" "$work/old" || fail "$size MiB: the tail changed"
    [ "$(stat -c %s "$bin/List.abc")" = "$(stat -c %s "$work/old")" ] || fail "$size MiB: the size changed"
    cmp -s -n "$TYPICAL_SIZE" "$bin/List.abc" "$data/List.abc" || fail "$size MiB: the inputs were not saved"
    [ "$(stat -c %i "$bin/List.abc")" != "$before" ] || fail "$size MiB: saved in place"
  done
  [ $((peak[1] - peak[0])) -le $((8 * 1024)) ] || fail "peak memory ${peak[0]} KiB, with 64 MiB ${peak[1]} KiB"
}

# Two copies save in place at the same moment, writes slowed so that
# unchecked they would cross: copy 0's first write (Текст1) lands after all
# of copy 1's but its sixth (Текст6), which lands after all of copy 0's. The
# file holds one copy's inputs or the other's, never some of each.
row_two_copies_saving_in_place_at_once() {
  local homes=("$work/home" "$work/home2") slowed=(1:delay_enter=500000 6:delay_enter=1000000) i
  cp "$typical" "$bin/List.abc"
  printf 'tail' >>"$bin/List.abc"
  chmod 666 "$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  for i in 0 1; do
    mkdir -p "${homes[i]}/.local/share/sheetmass"
    other "${homes[i]}/.local/share/sheetmass/List.abc"
    # Copy 0: thickness 5, 3 sheets; copy 1: thickness 6, 4 sheets.
    printf '%s' $((5 + i)) | dd of="${homes[i]}/.local/share/sheetmass/List.abc" bs=1 seek="$THICKNESS_AT" conv=notrunc status=none
    printf '%s' $((3 + i)) | dd of="${homes[i]}/.local/share/sheetmass/List.abc" bs=1 seek="$COUNT_AT" conv=notrunc status=none
    [ ${#victim[@]} -eq 0 ] || chown -R "$VICTIM_UID:$VICTIM_UID" "${homes[i]}"
  done
  chmod 555 "$bin"
  for i in 0 1; do
    HOME=${homes[i]} launch strace -f -qq -o /dev/null -P "$bin/List.abc" -e trace=pwrite64 \
      -e inject=pwrite64:when=${slowed[i]%%:*}:${slowed[i]#*:} "${victim[@]}"
  done
  stop 10
  chmod 755 "$bin"
  case "$(hex_at "$THICKNESS_AT" 1 "$bin/List.abc")$(hex_at "$COUNT_AT" 1 "$bin/List.abc")" in
    3533 | 3634) ;;
    *) fail "a mix of both copies' inputs: $(hex_at "$TEXT1_AT" 60 "$bin/List.abc")" ;;
  esac
}

# Saves of earlier runs killed after their temporary file was made leave
# it behind; the next save removes it, but not one a running save holds,
# nor another user's.
row_leftovers_of_killed_saves_go() {
  cp "$typical" "$bin/List.abc"
  launch strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal=KILL:when=1
  signal_copies TERM
  ended 5
  compgen -G "$bin/.List.abc.??????" >/dev/null || fail "the killed save left nothing to clean"
  : >"$bin/.List.abc.Locked"
  local kept=".List.abc.Locked List.abc sheetmass "
  if [ ${#attacker[@]} -gt 0 ]; then
    : >"$bin/.List.abc.Theirs"
    chown "$ATTACKER_UID:$ATTACKER_UID" "$bin/.List.abc.Theirs"
    kept=".List.abc.Locked .List.abc.Theirs List.abc sheetmass "
  fi
  exec {held}<"$bin/.List.abc.Locked"
  flock -x "$held"
  launch
  stop 5
  exec {held}<&-
  [ "$(LC_ALL=C ls -A "$bin" | tr '\n' ' ')" = "$kept" ] ||
    fail "left behind: $(ls -A "$bin" | tr '\n' ' ')"
}

# The new file reaches the disk before it replaces the old one, and the
# rename after it.
row_save_reaches_the_disk_in_order() {
  cp "$typical" "$bin/List.abc"
  launch strace -f -qq -o "$work/calls" -e trace=fsync,fdatasync,rename,renameat,renameat2
  stop 5 || return
  awk '/rename/ && /List\.abc"/ { split($0, a, /[(),]/); folder = /renameat/ ? a[2] : ""; renamed = 1; before = synced; next }
       /f(data)?sync\(/ { split($0, a, /[(),]/); if (!renamed) synced = 1; else if (folder == "" || a[2] == folder) after = 1 }
       END { exit !(before && after) }' "$work/calls" ||
    fail "not synced in order: $(tr '\n' ';' <"$work/calls")"
}

# A FIFO as List.abc is never waited on nor replaced; the data folder then
# serves, and the XDG rules ignore a relative XDG_DATA_HOME: it is
# ~/.local/share, never a folder under the current one.
row_fifo_as_list_with_relative_xdg_data_home() {
  mkfifo "$bin/List.abc"
  mkdir "$work/cwd"
  cd "$work/cwd" || return
  XDG_DATA_HOME=share launch
  cd - >/dev/null || return
  stop 5 || return
  [ -p "$bin/List.abc" ] || fail "the FIFO was replaced"
  [ -z "$(ls -A "$work/cwd")" ] || fail "wrote under the current folder"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = "$FIRST_SAVE_SIZE" ] || fail "no save in ~/.local/share"
}

# Standard error a pipe nobody reads: a warning is an ordinary failed write.
row_closed_standard_error() {
  rm -rf "${work:?}/home"
  touch "$work/home" # no data folder, and a warning at the end
  chmod 555 "$bin"
  "${victim[@]}" "$bin/sheetmass" 2> >(:) &
  pids+=($!)
  wait_ready
  stop 5
  chmod 755 "$bin"
  # Not killed by the warning's write: ended as a loss of the inputs ends.
  [ "$status" = 1 ] || fail "ended with status $status"
}

# Every request to end that can be caught saves, and the program ends well.
row_ending_signals_save() {
  local signal
  for signal in HUP QUIT PWR XCPU XFSZ USR1 USR2 ALRM VTALRM PROF; do
    rm -f "$bin/List.abc"
    launch
    stop 5 "$signal" || return
    [ "$status" = 0 ] || fail "SIG$signal: ended with status $status"
    [ "$(stat -c %s "$bin/List.abc")" = "$FIRST_SAVE_SIZE" ] || fail "SIG$signal: no save"
  done
}

# Another user holds an flock on each copy the victim keeps: in the program
# folder and the data folder, and on the data folder's alone where the
# program folder takes nothing. The save waits for neither, and the next
# start shows what was typed.
row_another_users_lock_on_each_copy() {
  two_users || return
  local place list
  for place in own read-only; do
    rm -rf "$data" "$bin/List.abc"
    mkdir -p "$data"
    other "$data/List.abc"
    own_home
    list=$data/List.abc
    if [ "$place" = own ]; then
      cp "$typical" "$bin/List.abc"
      touch -d '1 hour ago' "$bin/List.abc"
      chown -R "$VICTIM_UID:$VICTIM_UID" "$bin"
      hold_lock "$data/List.abc" "${attacker[@]}"
      list=$bin/List.abc
    else
      chown -R 0:0 "$bin"
    fi
    hold_lock "$list" "${attacker[@]}"
    type_thickness 5 "${victim[@]}" || return
    stop 2 || return
    [ "$(thickness "$list")" = 5 ] || fail "$place: saved $(thickness "$list")"
    launch "${victim[@]}"
    stop 2 || return
    [ "$(thickness "$list")" = 5 ] || fail "$place: the next start showed $(thickness "$list")"
  done
}

# Another user's own List.abc (no link), dated in the future, in a sticky
# folder: neither restored nor copied into the victim's data folder.
row_another_users_file_in_sticky_folder() {
  two_users || return
  chmod 1777 "$bin"
  mkdir -p "$data"
  cp "$typical" "$data/List.abc"
  own_home
  other "$work/planted"
  "${attacker[@]}" sh -c 'cp "$1" "$2" && chmod 666 "$2" && touch -d tomorrow "$2"' - "$work/planted" "$bin/List.abc"
  launch "${victim[@]}"
  stop 5 || return
  chmod 755 "$bin"
  same "$bin/List.abc" "$work/planted" || fail "the other user's file changed"
  same "$data/List.abc" "$typical" || fail "the other user's values came back"
}

# A program folder that takes no new file for want of room, not of
# permission: the typed value goes to the data folder, never over List.abc
# in place, where a crash would leave it half written.
row_full_program_folder_saves_in_the_data_folder() {
  [ "$(id -u)" -eq 0 ] || { skipped="needs root to mount a full file system"; return; }
  # The folder, the program and List.abc: no room for a fourth name.
  mount -t tmpfs -o size=256m,nr_inodes=3,mode=755 tmpfs "$bin" || {
    skipped="cannot mount a file system"
    return
  }
  cp "$program" "$bin/sheetmass"
  cp "$typical" "$bin/List.abc"
  type_thickness 5
  stop 5
  same "$bin/List.abc" "$typical" || fail "written in place: thickness $(thickness "$bin/List.abc")"
  umount "$bin"
  [ "$(thickness "$data/List.abc")" = 5 ] || fail "the data folder holds $(thickness "$data/List.abc")"
}

# In a folder where another user may make files and the victim may not,
# that user's 0666 List.abc is not written; the data folder keeps what was
# typed, also after that user deletes the file.
row_another_users_file_where_only_they_make_files() {
  two_users || return
  cp "$typical" "$bin/List.abc"
  chmod 666 "$bin/List.abc"
  chown -R "$ATTACKER_UID:$ATTACKER_UID" "$bin"
  own_home
  type_thickness 5 "${victim[@]}" || return
  stop 5 || return
  same "$bin/List.abc" "$typical" || fail "the other user's file was written"
  "${attacker[@]}" rm "$bin/List.abc"
  [ "$(thickness "$data/List.abc")" = 5 ] || fail "the data folder holds $(thickness "$data/List.abc")"
  chown -R 0:0 "$bin"
}

# A save fails (a session's save request, nowhere to write), then a place
# becomes usable and the display dies: what was typed is saved then.
row_failed_save_then_display_goes_away() {
  start_x || { fail "no virtual display"; return; }
  mkdir "$bin/List.abc"
  rm -rf "${work:?}/home"
  touch "$work/home" # no data folder under a plain file
  local address said=""
  coproc SM { "$session_manager"; }
  read -r -t 5 address <&"${SM[0]}"
  export SESSION_MANAGER=${address#listening }
  type_thickness 5 || return
  read -r -t 10 said <&"${SM[0]}"
  [ "$said" = registered ] || fail "the program did not join the session"
  echo save >&"${SM[1]}"
  read -r -t 10 said <&"${SM[0]}"
  [ "$said" = save-done ] || fail "the session's save got no answer"
  [ -d "$bin/List.abc" ] || fail "saved where nothing could be"
  rmdir "$bin/List.abc"
  kill -KILL "$XVFB_PID"
  ended 10 || fail "X server gone: still running"
  kill "$SM_PID" 2>/dev/null
  wait "$SM_PID" 2>/dev/null
  { stop_x; } 2>/dev/null
  [ "$(thickness "$bin/List.abc")" = 5 ] || fail "saved $(thickness "$bin/List.abc")"
}

# SIGKILL three seconds after the last key: what was typed is on disk, and
# the next start shows it.
row_killed_three_seconds_after_typing() {
  type_thickness 5 || return
  sleep 3
  kill -KILL "$pid"
  ended 5
  [ "$(thickness "$bin/List.abc")" = 5 ] || fail "saved $(thickness "$bin/List.abc")"
  launch
  stop 5 || return
  [ "$(thickness "$bin/List.abc")" = 5 ] || fail "the next start showed $(thickness "$bin/List.abc")"
}

# A sparse List.abc of 2 GiB: saved in well under a second, its tail kept,
# its holes still holes.
row_sparse_list_of_two_gib() {
  cp "$typical" "$bin/List.abc"
  truncate -s 2G "$bin/List.abc"
  printf 'tail' >>"$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  mkdir -p "$data"
  other "$data/List.abc"
  local blocks started took
  blocks=$(stat -c %b "$bin/List.abc")
  launch
  started=$(date +%s%N)
  stop 1 || return
  took=$((($(date +%s%N) - started) / 1000000))
  [ "$took" -lt 1000 ] || fail "took $took ms"
  cmp -s -n "$TYPICAL_SIZE" "$bin/List.abc" "$data/List.abc" || fail "the inputs were not saved"
  [ "$(stat -c %s "$bin/List.abc")" = $((2 * 1024 * 1024 * 1024 + 4)) ] || fail "size $(stat -c %s "$bin/List.abc")"
  [ "$(tail -c 4 "$bin/List.abc")" = tail ] || fail "the tail changed"
  [ "$(stat -c %b "$bin/List.abc")" -le "$blocks" ] || fail "$blocks blocks became $(stat -c %b "$bin/List.abc")"
}

# Another user swaps a folder above the last one for a link of theirs: the
# program folder's parent, in a group's folder, after the start, for one
# to a folder of root's that holds a List.abc all may write (as a team
# shares one); the folder XDG_DATA_HOME names, in a sticky folder, before
# the start, for one to a folder of theirs. What lies there is neither
# read nor written.
row_link_above_the_last_folder() {
  two_users || return
  local theirs="$work/theirs" team="$work/team" group="$work/group" planted="$work/planted"
  mkdir -p "$team/app/bin" "$theirs/share/sheetmass" "$group/app" "$work/sticky"
  other "$planted"
  cp "$planted" "$team/app/bin/List.abc"
  cp "$planted" "$theirs/share/sheetmass/List.abc"
  chmod 666 "$team/app/bin/List.abc" "$theirs/share/sheetmass/List.abc"
  chown -R "$ATTACKER_UID:$ATTACKER_UID" "$theirs"

  mv "$bin" "$group/app/bin"
  bin=$group/app/bin
  cp "$typical" "$bin/List.abc"
  chown -R "$VICTIM_UID:$VICTIM_UID" "$group/app"
  chown "0:$SHARED_GID" "$group" && chmod 2775 "$group"
  own_home
  launch "${victim[@]}"
  "${attacker[@]}" sh -c 'mv "$1/app" "$1/old" && ln -s "$2/app" "$1/app"' - "$group" "$team"
  bin=$group/old/bin
  stop 5 || return
  same "$team/app/bin/List.abc" "$planted" || fail "program folder's parent: root's file was written"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null || echo 0)" -ge "$FIRST_SAVE_SIZE" ] ||
    fail "program folder's parent: no save in the data folder"

  cp "$typical" "$bin/List.abc"
  touch -d '1 hour ago' "$bin/List.abc"
  chown "$VICTIM_UID:$VICTIM_UID" "$bin/List.abc"
  chmod 1777 "$work/sticky"
  "${attacker[@]}" ln -s "$theirs/share" "$work/sticky/share"
  XDG_DATA_HOME=$work/sticky/share launch "${victim[@]}"
  stop 5 || return
  same "$theirs/share/sheetmass/List.abc" "$planted" || fail "XDG_DATA_HOME: their file was written"
  [ "$(hex_at "$COUNT_AT" 1 "$bin/List.abc")" = 31 ] || fail "XDG_DATA_HOME: their values came back"
}

# In a group's folder another user swaps a link of theirs in for the new
# file just before the rename: the save counts as failed, and the data
# folder takes it.
row_link_swapped_in_for_the_new_file() {
  two_users || return
  cp "$typical" "$bin/List.abc"
  chown -R "$VICTIM_UID:$SHARED_GID" "$bin" && chmod 2775 "$bin"
  other "$work/theirs"
  chown "$ATTACKER_UID:$ATTACKER_UID" "$work/theirs"
  own_home
  launch strace -f -qq -o /dev/null -e trace=rename,renameat,renameat2 \
    -e inject=rename,renameat,renameat2:delay_enter=1000000 "${victim[@]}"
  signal_copies TERM
  "${attacker[@]}" sh -c 'for _ in $(seq 200); do
      for f in "$1"/.List.abc.??????; do
        [ -f "$f" ] && ln -s "$2" "$1/.swap" && mv -fT "$1/.swap" "$f" && exit 0
      done
      sleep 0.01
    done
    exit 1' - "$bin" "$work/theirs" || fail "no new file to swap"
  ended 5 || fail "still running 5 s after SIGTERM"
  chown -R 0:0 "$bin" && chmod 755 "$bin"
  [ -L "$bin/List.abc" ] || fail "the swap did not reach List.abc"
  cmp -s -n "$TYPICAL_SIZE" "$data/List.abc" "$typical" || fail "the save counted as done"
}

# With HOME unset, the data folder is under the home the password file
# names, never under the root.
row_home_unset() {
  two_users || return
  unshare --mount true 2>/dev/null || { skipped="needs mount namespaces to give the user a home"; return; }
  own_home
  { cat /etc/passwd; echo "sheetmass-victim:x:$VICTIM_UID:$VICTIM_UID::$work/home:/bin/sh"; } >"$work/passwd"
  printf '#!/bin/sh\nmount --bind "%s" /etc/passwd && exec env -u HOME %s "$@"\n' \
    "$work/passwd" "${victim[*]}" >"$work/as-victim"
  chmod 755 "$work/as-victim"
  launch unshare --mount "$work/as-victim"
  stop 5 || return
  [ ! -e "$bin/List.abc" ] || fail "saved in the program's folder"
  [ "$(stat -c %s "$data/List.abc" 2>/dev/null)" = "$FIRST_SAVE_SIZE" ] || fail "no save in the home's data folder"
}

# On a display with no session bus, none is launched: it would outlive the
# program.
row_no_bus_launched() {
  start_x || { fail "no virtual display"; return; }
  QT_QPA_PLATFORM=xcb launch env -u DBUS_SESSION_BUS_ADDRESS strace -f -qq -e trace=execve -o "$work/calls"
  stop 5 || return
  ! grep -q 'dbus-launch' "$work/calls" || fail "started $(grep -m 1 -o 'dbus-launch[^]]*' "$work/calls")"
}

rows=("$@")
[ ${#rows[@]} -gt 0 ] || rows=($(declare -F | awk '$3 ~ /^row_/ { sub(/^row_/, "", $3); print $3 }'))
for row in "${rows[@]}"; do
  fresh
  before=$failures
  "row_$row"
  for holder in "${holders[@]}"; do kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null; done
  [ -z "${XVFB_PID:-}" ] || { stop_x; } 2>/dev/null
  if [ -n "$skipped" ]; then
    echo "skip [$row]: $skipped"
  else
    ran=$((ran + 1))
    [ "$failures" = "$before" ] && echo "ok   [$row]"
  fi
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
done
rm -f "${suppressions:-}"
[ "$failures" = 0 ] || exit 1
[ "$ran" -gt 0 ] || exit 77
echo PASS

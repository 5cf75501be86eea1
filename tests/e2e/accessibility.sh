#!/usr/bin/env bash
# The real program as a screen reader meets it: on a virtual display, with a
# session bus and the accessibility bus of the test's own, every input and
# the mail link read through AT-SPI (atspi_check.py holds the table).
# usage: accessibility.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${SHEETMASS_OWN_BUS:-}" ]; then
  # The desktop's session bus, if any, is not the test's business.
  SHEETMASS_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
. "$here/../../scripts/xsession.sh"
scratch_run "$program"

WITH_WM=0 start_x || { echo "FAIL: no virtual display"; exit 1; }
/usr/libexec/at-spi-bus-launcher --launch-immediately & server=$!
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/sheetmass" 2> >(tee "$work/stderr" >&2) & pid=$!

# Debian's python3, whatever interpreter comes first on PATH: pyatspi is its.
timeout 90 /usr/bin/python3 "$here/atspi_check.py"
status=$?
[ "$status" = 124 ] && echo "FAIL: the accessibility bus did not answer in time"

kill "$pid"
wait_exit "$pid" || {
  code=$?
  # LeakSanitizer's own tracer now and then crashes while it stops the
  # accessibility threads to look for leaks; that says nothing of the
  # program, and a second run decides. Any other failure counts at once.
  if [ -z "${SHEETMASS_RETRIED:-}" ] &&
    grep -q "LeakSanitizer has encountered a fatal error" "$work/stderr"; then
    echo "LeakSanitizer's tracer failed; once more"
    pid=""
    end_scratch_run
    trap - EXIT
    SHEETMASS_RETRIED=1 exec "$0" "$@"
  fi
  echo "FAIL: exit status $code after SIGTERM (124: still running)"
  exit 1
}
pid=""
[ "$status" = 0 ] && echo PASS
exit "$status"

#!/usr/bin/env bash
# The libraries a program makes the system load before it starts, each a
# cost at every start under Wine: none but those allowed, whatever case the
# linker writes them in.
# Usage: imports.sh OBJDUMP PROGRAM ALLOWED...
set -uo pipefail
objdump=$1 program=$2
shift 2
allowed=" $(echo "$*" | tr '[:upper:]' '[:lower:]') "
names=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[ -n "$names" ] || { echo "no imports read from $program"; exit 1; }
status=0
for name in $names; do
  case "$allowed" in
  *" $name "*) ;;
  *) echo "$(basename "$program") imports $name"; status=1 ;;
  esac
done
exit "$status"

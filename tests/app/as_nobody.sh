#!/usr/bin/env bash
# Runs a test binary as an unprivileged user: read-only folders stop no one
# running as root, so the permission cases only mean something without it.
# Exits 77 (skipped) where that cannot be arranged.
set -u
binary=$1; shift
if [ "$(id -u)" -ne 0 ]; then
  exec "$binary" "$@"
fi
run=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all)
if ! "${run[@]}" test -x "$binary" 2>/dev/null; then
  echo "the unprivileged user cannot reach $binary: skipped"
  exit 77
fi
export HOME=/tmp XDG_RUNTIME_DIR=/tmp
cd /tmp && exec "${run[@]}" "$binary" "$@"

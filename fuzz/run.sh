#!/usr/bin/env bash
# Runs the List.abc fuzzer for a bounded time.
# Usage: fuzz/run.sh <fuzzer binary> [seconds, default 60]
# Exits non-zero when the fuzzer finds a crash; the input that caused it is
# left beside the binary as crash-*.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 <fuzzer binary> [seconds]" >&2
    exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
fuzzer="$1"
out="$(dirname "$fuzzer")"
mkdir -p "$out/corpus"
# New inputs go to the build tree; the committed seeds are only read.
"$fuzzer" -max_total_time="${2:-60}" -max_len=4096 -timeout=10 \
    -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$here/corpus"

#!/usr/bin/env bash
# Runs a fuzzer for a bounded time.
# Usage: fuzz/run.sh <fuzzer binary> [seconds, default 60] [seeds folder,
#        default fuzz/corpus] [longest input, default 4096] [more seed folders]
# The more seed folders hold the tests' named fixtures, kept there once
# rather than copied into the corpus.
# Exits non-zero when the fuzzer finds a crash; the input that caused it is
# left beside the binary as crash-*.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 <fuzzer binary> [seconds] [seeds] [longest] [more seeds ...]" >&2
    exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
fuzzer="$1"
out="$(dirname "$fuzzer")"
# New inputs go to the build tree; the committed seeds are only read.
corpus="$out/corpus-$(basename "$fuzzer")"
mkdir -p "$corpus"
"$fuzzer" -max_total_time="${2:-60}" -max_len="${4:-4096}" -timeout=10 \
    -artifact_prefix="$out/" -print_final_stats=1 "$corpus" "${3:-$here/corpus}" "${@:5}"

#!/usr/bin/env bash
# Builds the List.abc fuzzer with clang and runs it for a bounded time.
# Usage: fuzz/run.sh <build dir> [seconds, default 60]
# Exits non-zero when the fuzzer finds a crash; the input that caused it is
# left in <build dir>/fuzz/ as crash-*.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 <build dir> [seconds]" >&2
    exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="$1/fuzz"
seconds="${2:-60}"
cxx="${CXX_FUZZ:-clang++}"

mkdir -p "$out/corpus"
"$cxx" -std=c++20 -O1 -g -Wall -Wextra -Wpedantic -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
    -I"$root" "$here/ListImageFuzz.cpp" "$root/app/ListImage.cpp" -o "$out/list_image_fuzz"

# New inputs go to the build dir; the committed seeds are only read.
"$out/list_image_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$here/corpus"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program and its benchmarks with warnings as errors in the given
# compiler and build-type pairs, one build folder each under OUT_DIR; a second
# run rebuilds only what changed. With no pairs: GCC and Clang in Debug,
# Release, RelWithDebInfo and MinSizeRel. The tests are built by the test
# command's own two trees, with either compiler; here they would double the
# time of every pair. A pair written COMPILER:BUILD_TYPE:program builds the
# program alone: the benchmarks need one build with each compiler, not every
# build type.
# usage: scripts/build-matrix.sh OUT_DIR [COMPILER:BUILD_TYPE[:program] ...]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 OUT_DIR [COMPILER:BUILD_TYPE ...]" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=$1
shift
pairs=("$@")
if [ ${#pairs[@]} -eq 0 ]; then
  for compiler in g++ clang++; do
    for type in Debug Release RelWithDebInfo MinSizeRel; do
      pairs+=("$compiler:$type")
    done
  done
fi

mkdir -p "$out"
failed=()
for pair in "${pairs[@]}"; do
  compiler=${pair%%:*}
  type=${pair#*:}
  bench=ON
  if [ "${type%:program}" != "$type" ]; then
    type=${type%:program}
    bench=OFF
  fi
  dir=$out/$compiler-$type
  start=$SECONDS
  if cmake -S "$source_dir" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_BUILD_TYPE="$type" -DSHEETMASS_WERROR=ON -DSHEETMASS_BENCH="$bench" \
    -DSHEETMASS_TESTS=OFF >"$dir.log" 2>&1 &&
    cmake --build "$dir" -j2 >>"$dir.log" 2>&1; then
    echo "ok: $compiler $type ($((SECONDS - start)) s)"
  else
    grep -E -B2 -A12 'error:|FAILED:|CMake Error' "$dir.log" | head -n 80
    echo "FAIL: $compiler $type (log: $dir.log)"
    failed+=("$pair")
  fi
done
[ ${#failed[@]} -eq 0 ] || exit 1

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through
# CTest: once in an optimised GCC build (with the remaining compiler and
# build-type pairs, and the README's install steps in a fresh clone with the
# package they make), once in a Clang build under AddressSanitizer and
# UndefinedBehaviorSanitizer (with a fuzz run of the List.abc reader, bounded
# in time), and once cross-built for Windows with its tests run under Wine
# (scripts/windows.sh). Warnings are errors here, unlike in a plain build.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETMASS_WERROR=ON \
  -DSHEETMASS_BENCH=ON >/dev/null
cmake --build build -j2
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DSHEETMASS_WERROR=ON -DSHEETMASS_SANITIZE=ON -DSHEETMASS_FUZZ=ON >/dev/null
cmake --build build-asan -j2

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j2
ctest --test-dir build --output-on-failure -j2

# After build/, whose batch the Windows one is compared with byte for byte.
scripts/windows.sh build-windows build

#!/usr/bin/env bash
# Every C++ source of the project is as the committed .clang-format lays it out.
set -u
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null)
[ ${#files[@]} -gt 0 ] || mapfile -t files < <(find calc fields alloys platform listfile batch cli forms app about look tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run -Werror "${files[@]}" && echo "${#files[@]} files formatted"

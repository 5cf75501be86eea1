#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's install steps, word for word as the README gives them, in a
# fresh clone of the checkout, so that the README cannot go stale. The build
# takes the project's own warnings as errors through CXXFLAGS, which makes it
# the GCC Release build of the build matrix. Then the package it makes goes
# through check_deb.sh. Only the steps that change the machine (sudo …) are
# left out.
# usage: tests/delivery/readme_install.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work"
clone=$work/sheetmass
git clone --quiet --no-hardlinks "$source_dir" "$clone"
# Edits not yet committed and new files not yet added count too, as a
# developer runs the tests before committing.
changes=$(git -C "$source_dir" diff HEAD --binary)
if [ -n "$changes" ]; then
  echo "with the uncommitted changes of $source_dir"
  git -C "$clone" apply --whitespace=nowarn <<<"$changes"
fi
git -C "$source_dir" ls-files -z --others --exclude-standard |
  tar -C "$source_dir" --null -T - -cf - | tar -C "$clone" -xf -

# The shell block under "## Installing", up to its first sudo step.
steps=$(awk '/^## /{inside = ($0 == "## Installing")} inside' "$clone/README.md" |
  awk '/^```sh$/{block = 1; next} /^```$/{exit} block')
run=$(sed '/^sudo /,$d' <<<"$steps")
package=$(sed -n 's|^sudo apt install \./\(build/[^ ]*\.deb\)$|\1|p' <<<"$steps")
if [ -z "$run" ] || [ -z "$package" ]; then
  echo "FAIL: no install steps ending in 'sudo apt install ./build/….deb' in the README"
  exit 1
fi
printf '%s\n' "$run" | sed 's/^/+ /'
(
  cd "$clone"
  export CXXFLAGS=-Werror CMAKE_BUILD_PARALLEL_LEVEL=2
  bash -euo pipefail -c "$run"
) >"$work/steps.log" 2>&1 || {
  tail -n 60 "$work/steps.log"
  echo "FAIL: the README's install steps"
  exit 1
}
if [ ! -f "$clone/$package" ]; then
  echo "FAIL: the steps made no $package; they made: $(cd "$clone" && ls build/*.deb 2>/dev/null)"
  exit 1
fi
echo "ok: the README's steps made $package"
"$here/check_deb.sh" "$clone/$package"

#!/usr/bin/env bash
# Installs the Debian 12 packages the calculator and its tests need, and only
# those that are missing. Runs as root, or through sudo.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev locales
  # the package: cpack finds the libraries it links with these
  dpkg-dev file
  # the user guide made a web page, for both systems' packages
  python3-markdown
  # run: Russian Qt texts, fonts with Cyrillic, a virtual display when there is none
  qt6-translations-l10n fonts-liberation fonts-paratype xvfb xauth
  # tests, fuzzing and benchmarks
  googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev clang-format
  xdotool xclip x11-utils imagemagick openbox
  # the desktops the real program is tried on: a screen reader's view over
  # the accessibility bus, a Wayland compositor, GTK's dark theme for Qt
  dbus at-spi2-core python3-pyatspi weston qt6-wayland qt6-gtk-platformtheme
  # the saved-inputs faults: kills injected mid-save, a desktop session
  # manager of the tests' own, runs as an ordinary user
  strace libsm-dev util-linux
  # the package's checks: Debian's rules, the freedesktop validators, manual
  # pages, and the clone that the README's install steps run in
  lintian desktop-file-utils appstream man-db git
  # the Windows build: MinGW-w64 with POSIX threads, and Wine to run it
  g++-mingw-w64-x86-64-posix wine wine64
  # the Windows installer
  nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

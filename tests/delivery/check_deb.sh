#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A built .deb as Debian and the desktops take it: lintian finds no error or
# warning; the package installs into a throw-away root with every file where
# the freedesktop standards and Debian's policy look for it; the
# validators pass on the installed menu entry and metainfo; man renders both
# manual pages and finds the Russian one by language; the Russian user
# guide is one page with its pictures inside; the installed program
# keeps List.abc in the user's data folder; removal leaves nothing behind.
# usage: tests/delivery/check_deb.sh PACKAGE.deb
set -uo pipefail
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xsession.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

app=org.example.sheetmass
version=$(dpkg-deb -f "$deb" Version)

# lintian warns that it runs as root on its error output; its findings go to
# the standard output.
if lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2); then
  pass "lintian: no error, no warning"
else
  fail "lintian"
fi
if apt-get install --simulate -qq "$deb" >"$work/apt.log" 2>&1; then
  pass "apt would install it here: its dependencies are all met"
else
  cat "$work/apt.log"
  fail "apt cannot install it"
fi

# A root of its own, with an empty dpkg database: nothing of the machine's is
# touched, and the dependencies, not in that database, are waived.
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status" "$admin/available"
dpkg_root() { dpkg --root="$root" --log=/dev/null --force-not-root "$@" >>"$work/dpkg.log" 2>&1; }
if dpkg_root --force-depends -i "$deb"; then
  pass "installs into a throw-away root"
else
  cat "$work/dpkg.log"
  fail "dpkg -i"
fi

usr=$root/usr
share=$usr/share
if [ -x "$usr/bin/sheetmass" ]; then pass "the program in /usr/bin"; else fail "no /usr/bin/sheetmass"; fi

desktop=$share/applications/$app.desktop
if [ -f "$desktop" ] && desktop-file-validate "$desktop"; then
  pass "menu entry valid at /usr/share/applications/$app.desktop"
else
  fail "menu entry missing or invalid"
fi
[ "$(sed -n 's/^Exec=//p' "$desktop" 2>/dev/null)" = "sheetmass %f" ] || fail "the menu entry does not start sheetmass with the file opened"
grep -qx 'MimeType=text/csv;text/tab-separated-values;' "$desktop" || fail "the menu entry does not offer to open CSV and tab-separated files"
[ "$(sed -n 's/^Icon=//p' "$desktop" 2>/dev/null)" = "$app" ] || fail "the menu entry names another icon"

before=$failures
for size in 16 22 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$app.png
  got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
  [ "$got" = "${size}x${size}" ] || fail "hicolor ${size}x${size} icon: ${got:-missing}"
done
svg=$share/icons/hicolor/scalable/apps/$app.svg
grep -q '<svg ' "$svg" 2>/dev/null || fail "no scalable icon"
[ "$failures" -eq "$before" ] && pass "icons in hicolor 16 to 256 and scalable"

metainfo=$share/metainfo/$app.metainfo.xml
if [ -f "$metainfo" ] && appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1; then
  pass "metainfo valid at /usr/share/metainfo/$app.metainfo.xml"
else
  cat "$work/as.log"
  fail "metainfo missing or invalid"
fi
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch the menu entry"

# Both pages render without a warning from groff and say where List.abc is;
# man finds them in the tree by name, the Russian one for a Russian reader.
export MANPATH=$share/man MANWIDTH=80 LC_ALL=C.UTF-8
before=$failures
for page in "$share/man/man1/sheetmass.1.gz" "$share/man/ru/man1/sheetmass.1.gz"; do
  text=$(man --warnings -E UTF-8 -l "$page" 2>"$work/man.err")
  if [ -s "$work/man.err" ] || [[ "$text" != *List.abc*".local/share/sheetmass/"* ]]; then
    cat "$work/man.err"
    fail "manual page ${page#"$root"}"
  fi
done
[ "$(man -w sheetmass)" = "$share/man/man1/sheetmass.1.gz" ] || fail "man does not find sheetmass(1)"
[ "$(man -L ru -w sheetmass)" = "$share/man/ru/man1/sheetmass.1.gz" ] ||
  fail "man does not find the Russian sheetmass(1)"
[ "$failures" -eq "$before" ] && pass "manual pages in English and Russian"
unset MANPATH MANWIDTH LC_ALL

doc=$share/doc/sheetmass
before=$failures
head -n 1 "$doc/copyright" 2>/dev/null |
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "copyright file missing or not machine-readable"
grep -q '^License: Expat$' "$doc/copyright" 2>/dev/null || fail "copyright file names no licence"
logged=$(zcat "$doc/changelog.gz" 2>/dev/null | dpkg-parsechangelog -l- -S Version 2>/dev/null)
[ "$logged" = "$version" ] || fail "changelog.gz is at ${logged:-nothing}, the package at $version"
[ "$failures" -eq "$before" ] && pass "DEP-5 copyright and changelog.gz in /usr/share/doc/sheetmass"

# The user guide opens from the folder alone: no picture of it lies elsewhere.
guide=$doc/guide.html
if grep -q 'руководство пользователя' "$guide" 2>/dev/null && grep -q 'src="data:image/png' "$guide" &&
  ! grep -q 'src="[^d]' "$guide"; then
  pass "the Russian user guide in /usr/share/doc/sheetmass/guide.html, its pictures inside"
else
  fail "no user guide at /usr/share/doc/sheetmass/guide.html, or its pictures outside it"
fi

# The installed program, started and closed as a person would, keeps the
# inputs in the user's data folder and writes nothing beside itself.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
unset XDG_DATA_HOME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
if start_x; then
  "$usr/bin/sheetmass" &
  pid=$!
  if id=$(wait_window "Масса AL листов" 30); then
    close_window "$id"
    wait "$pid" || fail "the installed program ended with status $?"
  else
    kill "$pid"
    fail "the installed program showed no window"
  fi
  stop_x
fi
if [ -f "$HOME/.local/share/sheetmass/List.abc" ] && [ "$(ls "$usr/bin")" = sheetmass ]; then
  pass "the installed program keeps List.abc in ~/.local/share/sheetmass/"
else
  fail "List.abc not in the data folder, or written beside the installed program"
fi

# Purged, the package leaves only the throw-away dpkg database.
if dpkg_root -P sheetmass; then
  left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/lib' \
    -not -path './var/lib/dpkg' -not -path './var/lib/dpkg/*')
  left+=$(find "$admin/info" -name 'sheetmass.*')
  if [ -z "$left" ]; then pass "purged without a trace"; else fail "left after purging: $left"; fi
else
  cat "$work/dpkg.log"
  fail "dpkg -P"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "PASS: $(basename "$deb")"

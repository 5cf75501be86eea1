#!/usr/bin/env bash
# The installer under Wine: a silent install with the desktop shortcut puts
# both programs, the user guide, the Cyrillic shortcuts (the guide's among
# them) and the Programs and Features entry in place; the installed program
# starts and shows its window; a silent upgrade over it closes it, so that
# what was typed is saved, and replaces it, and one over a copy it cannot
# close fails; the silent uninstall takes all of it away again, the saves'
# lock too, and leaves the user's inputs in their data folder. The
# installer's version resource and the entry give project()'s version.
# Usage: installer_test.sh WINE INSTALLER PROBE FOLDER VERSION WINDRES
set -uo pipefail
wine=$1 installer=$(realpath -m "$2") probe=$(realpath -m "$3") folder=$4 version=$5 windres=$6
[ -n "${WINEPREFIX:-}" ] || { echo "no WINEPREFIX: run through scripts/windows.sh"; exit 77; }
[ -f "$installer" ] || { echo "no installer ($installer): build the windows-package target"; exit 77; }
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "no $tool: the installer check needs it"; exit 77; }
done
export WINEDEBUG=${WINEDEBUG:--all} LC_ALL=C.UTF-8
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
cp "$probe" probe.exe || exit 1
. "$here/scripts/xsession.sh"
trap '[ -n "${PROBE_PID:-}" ] && "$wine" ./probe.exe kill 5000; stop_x' EXIT
# The display Wine's desktop is on (scripts/windows.sh), or one of its own.
[ -n "${DISPLAY:-}" ] || start_x || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
size=$(stat -c %s "$installer")
[ "$size" -lt 1048576 ] || fail "the installer is $size bytes, not under 1 MB"
# The version the file's properties show, read back from the built installer.
resource=$("$windres" -i "$installer" -O rc 2>&1)
grep -qF "VALUE \"FileVersion\", \"$version\"" <<<"$resource" ||
  fail "the installer's file version is not $version: $(grep -F FileVersion <<<"$resource")"
grep -qF "PRODUCTVERSION ${version//./, }, 0, 0" <<<"$resource" ||
  fail "the installer's product version is not $version: $(grep -F PRODUCTVERSION <<<"$resource")"

drive=$WINEPREFIX/drive_c
programs="$drive/Program Files/sheetmass"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/sheetmass/Масса AL листов.lnk"
guide="${menu%/*}/Справка.lnk"
desktop="$drive/users/Public/Desktop/Масса AL листов.lnk"
profile="$drive/users/$(id -un)/AppData"
# No inputs or lock of an earlier run.
rm -rf "$profile/Roaming/sheetmass" "$profile/Local/sheetmass" "$profile/Local/sheetmass.lock"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\sheetmass'

# The installer's own window is not shown: /S runs it silently, and ends when done.
cp "$installer" setup.exe
"$wine" ./setup.exe /S /DESKTOP || fail "the silent install failed"
for f in sheetmassw.exe sheetmass.exe uninstall.exe LICENSE.txt guide.html; do
  [ -f "$programs/$f" ] || fail "no $f installed"
done
grep -q 'руководство пользователя' "$programs/guide.html" 2>/dev/null ||
  fail "the installed guide.html is not the user guide"
[ -f "$menu" ] || fail "no Start-menu shortcut with the Cyrillic name"
# «Справка» opens the installed page: the shortcut names it as its target.
grep -aqF 'sheetmass\guide.html' "$guide" 2>/dev/null ||
  fail "no Start-menu shortcut «Справка» to the installed guide.html"
[ -f "$desktop" ] || fail "no desktop shortcut, though asked for"
# reg prints in the console's code page: the version is what reads the same.
"$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "REG_SZ *$version" ||
  fail "no entry of version $version in Programs and Features"
"$wine" "C:\\Program Files\\sheetmass\\sheetmass.exe" --version | grep -q "^sheetmass " ||
  fail "the installed batch does not answer --version"
# Explorer's "Open with" offers the window for .csv, and opens the file with it.
classes='HKLM\Software\Classes'
"$wine" reg query "$classes\Applications\sheetmassw.exe\SupportedTypes" /v .csv >/dev/null 2>&1 ||
  fail "the window is not among the programs for .csv"
"$wine" reg query "$classes\.csv\OpenWithProgids" /v sheetmass.csv >/dev/null 2>&1 ||
  fail ".csv does not offer to be opened with the window"
"$wine" reg query "$classes\sheetmass.csv\shell\open\command" 2>/dev/null |
  grep -qF '"C:\Program Files\sheetmass\sheetmassw.exe" "%1"' ||
  fail "opened with the window, a .csv file is not given to it"

# The installed program starts, with an input typed (dropped) into it.
# The file on disk is made to differ from the installer's, so that the
# upgrade's copy is told from it.
printf x >>"$programs/sheetmassw.exe"
start_program() {
  "$wine" ./probe.exe start "C:\\Program Files\\sheetmass\\sheetmassw.exe" > pid.txt ||
    fail "the installed program did not start"
  PROBE_PID=$(cat pid.txt)
  export PROBE_PID
  "$wine" ./probe.exe wait-window Форма1 20000 || fail "the installed program shows no window"
}
start_program
# The fields take drops once the window is up and idle.
for _ in 1 2 3 4 5; do
  "$wine" ./probe.exe drop Форма1 Текст6 7 >/dev/null
  "$wine" ./probe.exe until Форма1 Текст6 7 1000 2>/dev/null && break
done
"$wine" ./probe.exe until Форма1 Текст6 7 1000 || fail "7 dropped into the number of sheets"
# A silent upgrade over it: closed as its user would close it, then replaced.
if "$wine" ./setup.exe /S; then
  cmp -s "$programs/sheetmassw.exe" "$(dirname "$installer")/sheetmass-$version/sheetmassw.exe" ||
    fail "the silent upgrade said it succeeded and left the old program"
  "$wine" ./probe.exe ended 10000 || fail "the upgrade left the old program running"
else
  fail "the silent upgrade failed although the program could be closed"
fi
PROBE_PID=""
start_program
"$wine" ./probe.exe until Форма1 Текст6 7 5000 || fail "the input typed before the upgrade is lost"
"$wine" ./probe.exe close Форма1
"$wine" ./probe.exe ended 10000 || fail "the installed program did not end"
PROBE_PID=""
# A copy it cannot close (the batch, reading on), and the silent upgrade fails.
mkfifo order
"$wine" "C:\\Program Files\\sheetmass\\sheetmass.exe" --batch <order >/dev/null 2>&1 &
batch=$!
exec 3>order
for _ in $(seq 100); do
  "$wine" tasklist 2>/dev/null | grep -qi '^sheetmass.exe' && break
  sleep 0.1
done
"$wine" ./setup.exe /S && fail "a silent upgrade over a copy it cannot close exited 0"
exec 3>&-
wait "$batch"

# The uninstaller copies itself away and returns at once: the wait is for
# what it removes, the files first, the desktop shortcut and the Programs
# and Features entry last.
"$wine" "C:\\Program Files\\sheetmass\\uninstall.exe" /S || fail "the silent uninstall failed"
for _ in $(seq 100); do
  [ ! -e "$programs/sheetmassw.exe" ] && [ ! -e "$programs/uninstall.exe" ] && [ ! -e "$desktop" ] &&
    ! "$wine" reg query "$key" >/dev/null 2>&1 && break
  sleep 0.1
done
for f in sheetmassw.exe sheetmass.exe uninstall.exe LICENSE.txt guide.html; do
  [ ! -e "$programs/$f" ] || fail "$f left behind"
done
[ ! -e "$menu" ] || fail "the Start-menu shortcut left behind"
[ ! -e "$guide" ] || fail "the guide's Start-menu shortcut left behind"
[ ! -e "$desktop" ] || fail "the desktop shortcut left behind"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the Programs and Features entry left behind"
for left in "$classes\Applications\sheetmassw.exe" "$classes\sheetmass.csv"; do
  "$wine" reg query "$left" >/dev/null 2>&1 && fail "$left left behind"
done
"$wine" reg query "$classes\.csv\OpenWithProgids" /v sheetmass.csv >/dev/null 2>&1 &&
  fail ".csv still offers the uninstalled window"
[ ! -e "$programs" ] || fail "the program's folder left behind: $(ls -A "$programs")"
for lock in "$profile/Local/sheetmass.lock" "$profile/Local/sheetmass"; do
  [ ! -e "$lock" ] || fail "$lock left behind"
done
# The number of sheets' item, at 150: a text (8) of one byte, 7.
[ "$(xxd -s 150 -l 5 -p "$profile/Roaming/sheetmass/List.abc" 2>/dev/null)" = 0800010037 ] ||
  fail "the user's inputs are not in their data folder after the uninstall"
# Not left for the window test, whose copy would restore them.
rm -rf "$profile/Roaming/sheetmass"

[ "$failures" -eq 0 ] && echo "install, start and uninstall under Wine: all passed"
exit $((failures > 0))

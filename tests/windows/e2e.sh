#!/usr/bin/env bash
# Builds Vellomar for Windows with its installer, installs it silently under
# Wine in a throw-away prefix on a virtual display, and drives the installed
# program with mouse clicks along the typical road: pick, Show List, Deploy,
# a logon that runs the Startup shortcut, the trust rule, Reset; then an
# install for the current user only beside it, and both uninstalls; last, the
# lists' OCR and the layout walk (lists.sh).
#   e2e.sh <source dir> <Qt for Windows, empty when none>
# Exit code 77 (skipped) when there is no Qt for Windows.
set -eEuo pipefail
src=$1 qt=$2 bin=$1/build/windows/bin
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO ended with status $?: $BASH_COMMAND" >&2' ERR # a step that fails without its own message

if [ -z "${VELLOMAR_E2E_DISPLAY:-}" ]; then
  [ -n "$qt" ] || { echo "SKIP: no Qt for Windows ('bash scripts/dev.sh windows' builds one)"; exit 77; }
  export VELLOMAR_QT_WINDOWS=$qt
  cd "$src"
  [ -f build/windows/CMakeCache.txt ] || cmake --preset windows -DVELLOMAR_WERROR=ON >/dev/null
  cmake --build --preset windows -j2 --target all test_layout probe >/dev/null && (cd build/windows && cpack -G NSIS >/dev/null) \
    || fail "building for Windows or making the installer"
  unset QT_QPA_PLATFORM # the Linux tests' offscreen platform is no Windows plugin
  exec env VELLOMAR_E2E_DISPLAY=1 sh "$src/tests/support/on-x11.sh" --openbox bash "$0" "$@"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vellomar-e2e.XXXXXX")
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() { "$wineserver" -k 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$scratch"; }
trap cleanup EXIT

wait_for() { # wait_for <command...>: until it holds, a minute at most
  local tries=0
  until "$@"; do
    tries=$((tries + 1)); [ $tries -lt 240 ] || fail "waited a minute for: $*"; sleep 0.25
  done
}
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
shown() { [ -n "$(window "$1")" ]; }
gone() { ! shown "$1"; }
# click <title> <client height> <x> <y>: a click at x, y of a window's client area,
# which lies at the bottom of its X window (the menu bar above it).
click() {
  local id height; wait_for shown "$1"; id=$(window "$1"); height=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: [0-9]*x//p')
  xdotool mousemove --window "$id" "$3" $(($4 + height - $2)) click 1; sleep 0.5
}
main() { click "Vellomar 1.0" 339 "$@"; }
keys() { xdotool key --delay 150 "$@"; sleep 0.5; }
# answer <title> [keys]: the keys (Return) to a message box, which closes before the next one comes.
answer() { local id; wait_for shown "$1"; id=$(window "$1"); xdotool windowactivate --sync "$id"; keys "${2:-Return}"; wait_for closed "$1" "$id"; }
closed() { ! xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$2"; }

"$wine" wineboot -i >/dev/null 2>&1 || fail "creating the Wine prefix"
# A Windows machine has its own fonts; Wine's come in Debian's fonts-wine.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
c=$WINEPREFIX/drive_c user=${USER:-$(id -un)}
work=$c/users/$user/AppData/Local/Vellomar installed="$c/Program Files/Vellomar"
startup="$c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp"
key() { "$wine" reg query "$1" >/dev/null 2>&1; } # key <registry key>: it exists

"$wine" "$src/build/windows/vellomar-1.0.0-win64.exe" /S || fail "the silent install"
"$wineserver" -w
# What the run below does not start: Uninstall.exe stays for the end.
for f in styles/qwindowsvistastyle.dll license.txt qt-licence.txt; do
  [ -f "$installed/$f" ] || fail "$f not installed"
done
file "$installed/Rendaro.exe" | grep -q "(GUI)" || fail "Rendaro.exe opens a console window at logon"
# The installer, its uninstaller and every program carry the application
# icon (its largest image, a PNG, byte for byte), the programs their version.
hex() { od -An -tx1 -v | tr -d ' \n'; }
icon=$(hex <"$src/packaging/icons/vellomar-256.png")
for f in "$src/build/windows/vellomar-1.0.0-win64.exe" "$installed"/{vellomar.exe,vellomar-start.exe,Rendaro.exe,brinol.com,zeptra.com,Uninstall.exe}; do
  wrestool -x --raw --type=3 "$f" | hex | grep -q "$icon" || fail "${f##*/} has not the icon"
  [[ $f = *Uninstall.exe || $f = *win64.exe ]] || wrestool -x --raw --type=16 "$f" | strings -el | tr '\n' ' ' \
    | grep -q "ProductName Vellomar ProductVersion 1.0.0" || fail "${f##*/} has no version information"
done
mkdir -p "$c/Program Files/Probe" && cp "$bin/probe.exe" "$c/Program Files/Probe/probe.exe"

# Started from the Start menu: vellomar-start.exe gives the user a working folder.
(cd "$scratch" && "$wine" start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vellomar\Vellomar.lnk')
wait_for shown "Vellomar 1.0"
cmp -s "$work/readme.1st" "$src/readme.1st" || fail "no working folder with the read-me"
main 12 -10 && keys Down Down Return # Help > Readme: notepad.exe readme.1st
answer "readme.1st - Notepad" alt+F4
today=$(date +%u) # 1 Monday ... 7 Sunday
for day in 1 4 $( [ "$today" = 1 ] || [ "$today" = 4 ] || echo "$today"); do
  main $((8 + 32 * day)) 96 # Check1(day - 1)
done
main 300 150 && keys Home Down Down Down Down Return # Dir1: C:\, PROGRAM FILES, ..., Probe
main 430 145 # the first file of File1
main 436 100 && keys Up # List1: AM
main 540 100 && keys Down Down # List4: Minimize
main 64 312 # Pick Program
answer Vellomar # "Program Picked, Next one Please"
# entry <file> <day>: the file holds the one entry of that day, byte for byte,
# in the ANSI code page with CR LF line ends.
entry() {
  printf '00:00\r\nC:\\PROGRAM FILES\\Probe\\probe.exe\r\nMin\r\n%s\r\n' "$2" | cmp -s "$work/$1" - \
    || fail "$1: $(od -c "$work/$1" 2>&1)"
}
entry Mon2.dat Monday
entry Thu2.dat Thursday

main 156 312 # Show List: brinol.com gathers, the viewer opens
wait_for shown "Program to be Run"
wait_for test -f "$work/datmon.dat"
entry datmon.dat Monday
click "Program to be Run" 519 552 496 # Back to Main Menu
# Task Manager's Startup apps switched Rendaro.lnk off: Deploy, which the
# user asks for, switches it on (Wine itself ignores the switch at logon).
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder'
switch() { "$wine" reg add "$approved" /v Rendaro.lnk /t REG_BINARY /d "$1" /f >/dev/null 2>&1 || fail "reg add $1"; }
switch 030000000000000000000000
main 240 312 # Ready to Deploy..., Yes, then the closing message
answer Vellomar; answer Vellomar
on=$("$wine" reg query "$approved" /v Rendaro.lnk 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_BINARY *//p') || on="no value"
[[ $on = 02* ]] || fail "Deploy left Rendaro.lnk switched off: $on"
# --list says whether a logon starts the launcher.
logon() { (cd "$work" && "$wine" 'C:\Program Files\Vellomar\Rendaro.exe' --list 2>&1 | tr -d '\r' | grep "$1" >/dev/null) || fail "--list: no $1"; }
logon '^At logon: C:\\users\\.*\\Rendaro.lnk starts C:\\Program Files\\Vellomar\\Rendaro.exe$'
switch 030000000000000000000000
logon '^Not started at logon: Task Manager has C:\\users\\.*\\Rendaro.lnk switched off$'
switch 020000000000000000000000

# A logon as Wine does it, whose run of the Startup folder's Rendaro.lnk
# starts the launcher in the working folder: today's entry starts minimized,
# in its own folder.
export VELLOMAR_PROBE_REPORT='C:\probe-report.txt'
[ -f "$startup/Rendaro.lnk" ] || fail "Deploy wrote no Rendaro.lnk"
(cd "$scratch" && "$wine" wineboot)
wait_for test -f "$c/probe-report.txt"
report=$(tr -d '\r' <"$c/probe-report.txt")
[ "$report" = 'show=7 flags=1
cwd=C:\PROGRAM FILES\Probe
module=C:\PROGRAM FILES\Probe\probe.exe' ] || fail "the due program started so: $report"
# The launcher stays for the session, one per folder; each event is in the log
# as it happens, so ending it loses nothing. It is ended by the process id that
# its lock names.
holder() { find "$c/users/$user" -name 'rendaro-*.lock' -exec sed -n 1p {} + | tr -d '\r'; } # in the user's %TEMP%
wait_for grep -q "nothing more today, waiting for" "$work/rendaro.log"
"$wine" taskkill /F /PID "$(holder)" >/dev/null 2>&1 || fail "ending the launcher"
ended() { ! "$wine" tasklist 2>/dev/null | grep -qi rendaro; }
wait_for ended

# launcher <output file>: a run of the installed launcher whose trouble shows
# its message box "Rendaro", which it waits for before it ends with status 1.
launcher() {
  (cd "$work" && "$wine" 'C:\Program Files\Vellomar\Rendaro.exe' --once >"$1" 2>&1) & local run=$!
  answer Rendaro
  ! wait $run || fail "Rendaro.exe ended with status 0: $(cat "$1")"
}
# A day list that Everyone may write (the Unix mode is what Wine's access list says) starts nothing.
daylist=$work/dat$(date +%a | tr '[:upper:]' '[:lower:]').dat
chmod o+w "$daylist" && rm "$c/probe-report.txt"
launcher "$scratch/refused"
grep -q "Everyone may write" "$scratch/refused" || fail "refused without saying why: $(cat "$scratch/refused")"
[ ! -e "$c/probe-report.txt" ] || fail "started from a day list Everyone may write"
# A program that cannot be started: the notice, and the log says why.
rm "$daylist" && printf '00:00\r\nC:\\Nowhere\\gone.exe\r\nNormal\r\n%s\r\n' "$(date +%A)" >"$daylist"
launcher "$scratch/missing"
grep -q 'could not start C:\\Nowhere\\gone.exe: there is no such file' "$work/rendaro.log" || fail "rendaro.log"

"$wine" attrib +h "C:\\users\\$user\\AppData\\Local\\Vellomar\\Mon2.dat" && main 344 312 # Reset/Clear List: zeptra.com clears the files, hidden ones too
cleared() { [ -z "$(cd "$work" && ls -- *.dat 2>/dev/null)" ]; }
wait_for cleared
main 452 312 # Exit
wait_for gone "Vellomar 1.0"

# For the current user only, beside the installation for all users: its own
# folder, Start menu and Add/Remove entry. Its uninstaller leaves the
# Rendaro.lnk that starts the other installation's launcher.
mine=$c/users/$user/AppData/Local/Programs/Vellomar menu="$c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
"$wine" "$src/build/windows/vellomar-1.0.0-win64.exe" /S /CurrentUser || fail "the silent install for the current user"
"$wineserver" -w
[ -f "$mine/vellomar.exe" ] && [ -f "$menu/Vellomar/Vellomar.lnk" ] || fail "no installation in the user's folders"
"$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellomar' /v DisplayIcon 2>/dev/null \
  | grep -q 'Programs\\Vellomar\\vellomar.exe' || fail "no Add/Remove entry of the user's with the icon"
"$wine" "$mine/Uninstall.exe" /S # it goes on from a copy of itself
uninstalled() { [ ! -e "$1/vellomar.exe" ] && [ ! -e "$2/Vellomar/Vellomar.lnk" ]; }
wait_for uninstalled "$mine" "$menu" && "$wineserver" -w
[ -f "$startup/Rendaro.lnk" ] || fail "the user's uninstaller removed the other installation's Rendaro.lnk"
! key 'HKCU\Software\The Vellomar developers' || fail "the user's uninstaller left its registry key"
key 'HKLM\Software\The Vellomar developers' || fail "the user's uninstaller took the key of all users"

# Removed while a launcher runs in this session: what the launcher holds goes at the next restart.
find "$c/users/$user" -name 'rendaro-*.lock' -delete # those of the launchers ended above
(cd "$work" && exec "$wine" 'C:\Program Files\Vellomar\Rendaro.exe' >/dev/null 2>&1) &
running() { [ -n "$(holder)" ]; }
wait_for running
"$wine" "$installed/Uninstall.exe" /S
wait_for uninstalled "$installed" "$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ ! -e "$startup/Rendaro.lnk" ] || fail "the uninstaller left Rendaro.lnk"
"$wine" taskkill /F /PID "$(holder)" >/dev/null 2>&1 || fail "ending the launcher"
wait_for ended && "$wineserver" -w
! key 'HKLM\Software\The Vellomar developers' || fail "the uninstaller left its registry key"
"$wine" wineboot -r >/dev/null 2>&1
[ ! -e "$installed" ] || fail "after a restart the program folder still holds: $(ls -R "$installed")"
[ -f "$work/readme.1st" ] || fail "the uninstaller took the user's folder"

"$wine" "$bin/probe.exe" --checks || fail "probe.exe --checks"

# The four lists read by OCR and the layout walk, in prefixes of their own:
# stock, and with Wine's faces.
. "$src/tests/windows/lists.sh"

#!/usr/bin/env bash
# Builds Vellomar for Windows with its installer, installs it silently under
# Wine in a throw-away prefix on a virtual display, and drives the installed
# program with mouse clicks along the typical road: pick, Show List, Deploy,
# the logon start of the Startup shortcut, the trust rule, Reset, uninstall.
#   e2e.sh <source dir> <Qt for Windows, empty when none> <probe build dir>
# Exit code 77 (skipped) when there is no Qt for Windows.
# VELLOMAR_E2E_SHOTS=<folder> keeps the screenshots of the window and viewer.
set -euo pipefail
src=$1 qt=$2 probe_build=$3
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
fail() { echo "FAIL: $*" >&2; exit 1; }
checks=0
expect() { # expect <what> <command...>: one assertion
  local what=$1; shift
  "$@" || fail "$what"
  checks=$((checks + 1))
}

if [ -z "${VELLOMAR_E2E_DISPLAY:-}" ]; then
  [ -n "$qt" ] || { echo "SKIP: no Qt for Windows (VELLOMAR_QT_WINDOWS, ../shared/qt6-mingw-6.4.2;" \
                         "'bash scripts/dev.sh windows' builds one)"; exit 77; }
  for tool in "$wine" /usr/bin/makensis /usr/bin/Xvfb /usr/bin/xdotool /usr/bin/openbox /usr/bin/convert \
              /usr/bin/x86_64-w64-mingw32-g++-posix; do
    [ -x "$tool" ] || fail "$tool is missing; 'bash scripts/dev.sh test' installs it"
  done
  started=$SECONDS
  export VELLOMAR_QT_WINDOWS=$qt
  cd "$src"
  [ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 >/dev/null || fail "building for Windows (cmake --build --preset windows)"
  (cd build/windows && cpack -G NSIS >/dev/null) || fail "making the installer"
  cmake -S tests/windows/probe -B "$probe_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >/dev/null && cmake --build "$probe_build" -j2 >/dev/null \
    || fail "building probe.exe"
  echo "Windows build and installer: $((SECONDS - started)) s"
  unset QT_QPA_PLATFORM # the Linux tests' offscreen platform is no Windows plugin
  exec env VELLOMAR_E2E_DISPLAY=1 sh "$src/tests/support/on-x11.sh" --openbox bash "$0" "$@"
fi

started=$SECONDS
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vellomar-e2e.XXXXXX")
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() { "$wineserver" -k 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$scratch"; }
trap cleanup EXIT

wait_for() { # wait_for <what> <command...>: until it holds, a minute at most
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
  local id height; id=$(window "$1"); height=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: [0-9]*x//p')
  xdotool mousemove --window "$id" "$3" $(($4 + height - $2)) click 1; sleep 0.5
}
keys() { xdotool key --delay 150 "$@"; sleep 0.5; }
answer() { wait_for shown Vellomar; xdotool windowactivate --sync "$(window Vellomar)"; keys Return; }
shot() { [ -z "${VELLOMAR_E2E_SHOTS:-}" ] || import -window root "$VELLOMAR_E2E_SHOTS/$1"; }
ink() { convert "$1" -crop "$2" -threshold 50% -format '%[fx:mean]' info:; } # 1 when blank

"$wine" wineboot -i >/dev/null 2>&1 || fail "creating the Wine prefix"
# A Windows machine has its own fonts; Wine's come in Debian's fonts-wine.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
c=$WINEPREFIX/drive_c user=${USER:-$(id -un)}
work=$c/users/$user/AppData/Local/Vellomar

"$wine" "$src/build/windows/vellomar-1.0.0-win64.exe" /S || fail "the silent install"
"$wineserver" -w
installed="$c/Program Files/Vellomar"
for f in vellomar.exe brinol.com zeptra.com Rendaro.exe vellomar-start.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
         platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll \
         libwinpthread-1.dll readme.1st license.txt qt-licence.txt Uninstall.exe; do
  expect "$f installed" test -f "$installed/$f"
done
expect "Rendaro.exe opens no window at logon" grep -q "(GUI)" <(file "$installed/Rendaro.exe")
menu='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vellomar\Vellomar.lnk'
probe=$probe_build/probe.exe
expect "Start menu entry" grep -q '^target=C:\\Program Files\\Vellomar\\vellomar-start.exe' \
  <("$wine" "$probe" --link "$menu" | tr -d '\r')
mkdir -p "$c/Program Files/Probe" && cp "$probe" "$c/Program Files/Probe/probe.exe"

# Started from the Start menu, in the user's own working folder.
(cd "$scratch" && "$wine" start "$menu")
wait_for shown "Vellomar 1.0"
expect "working folder with the read-me" cmp -s "$work/readme.1st" "$src/readme.1st"
click "Vellomar 1.0" 339 12 -10 && keys Down Down Return # Help > Readme: notepad.exe readme.1st
wait_for shown "readme.1st - Notepad"
xdotool windowactivate --sync "$(window "readme.1st - Notepad")" key alt+F4
wait_for gone "readme.1st - Notepad"
today=$(date +%u) # 1 Monday ... 7 Sunday
for day in 1 4 $( [ "$today" = 1 ] || [ "$today" = 4 ] || echo "$today"); do
  click "Vellomar 1.0" 339 $((8 + 32 * day)) 96 # Check1(day - 1)
done
click "Vellomar 1.0" 339 300 150 && keys Home Down Down Down Down Return # Dir1: C:\, PROGRAM FILES, ..., Probe
click "Vellomar 1.0" 339 430 145 # the first file of File1
click "Vellomar 1.0" 339 436 100 && keys Up # List1: AM
click "Vellomar 1.0" 339 540 100 && keys Down Down # List4: Minimize
shot windows-main.png
click "Vellomar 1.0" 339 64 312 # Pick Program
answer # "Program Picked, Next one Please"
# entry <file> <day>: the file holds the one entry of that day, byte for byte.
entry() {
  printf '00:00\r\nC:\\PROGRAM FILES\\Probe\\probe.exe\r\nMin\r\n%s\r\n' "$2" | cmp -s "$work/$1" - \
    || { od -c "$work/$1" | head -8 >&2; false; }
}
expect "Mon2.dat" entry Mon2.dat Monday
expect "Thu2.dat" entry Thu2.dat Thursday

click "Vellomar 1.0" 339 156 312 # Show List: brinol.com gathers, the viewer opens
wait_for shown "Program to be Run"
wait_for test -f "$work/datmon.dat"
expect "datmon.dat gathered by brinol.com" entry datmon.dat Monday
import -window "$(window "Program to be Run")" "$scratch/empty.png"
click "Program to be Run" 519 40 496 # Monday
import -window "$(window "Program to be Run")" "$scratch/monday.png"
shot windows-viewer.png
expect "the viewer is empty before Monday" [ "$(ink "$scratch/empty.png" 673x470+0+0)" = 1 ]
expect "the viewer draws Monday's list" [ "$(ink "$scratch/monday.png" 673x470+0+0)" != 1 ]
click "Program to be Run" 519 552 496 # Back to Main Menu
wait_for shown "Vellomar 1.0"

click "Vellomar 1.0" 339 240 312 # Ready to Deploy..., Yes, then the closing message
answer; answer
startup="C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Rendaro.lnk"
link=$("$wine" "$probe" --link "$startup" | tr -d '\r')
expect "Rendaro.lnk: $link" [ "$link" = "target=C:\\Program Files\\Vellomar\\Rendaro.exe
folder=C:\\users\\$user\\AppData\\Local\\Vellomar
arguments=" ]

# The logon start: today's entry starts minimized, in its own folder.
export VELLOMAR_PROBE_REPORT='C:\probe-report.txt'
(cd "$scratch" && "$wine" start "$startup")
wait_for test -f "$c/probe-report.txt"
report=$(tr -d '\r' <"$c/probe-report.txt")
expect "the due program started as its entry says: $report" [ "$report" = 'show=7 flags=1
cwd=C:\PROGRAM FILES\Probe
module=C:\PROGRAM FILES\Probe\probe.exe' ]

# launcher <output file>: a run of the installed launcher in the working folder
# whose trouble shows the launcher's message box "Rendaro", closed here; the
# launcher waits for it before it ends.
launcher() {
  (cd "$work" && "$wine" 'C:\Program Files\Vellomar\Rendaro.exe' >"$1" 2>&1) & local run=$!
  wait_for shown Rendaro
  xdotool windowactivate --sync "$(window Rendaro)"; keys Return
  ! wait $run # exit status 1: something was not started
}
# A day list that Everyone may write starts nothing.
daylist=dat$(date +%a | tr '[:upper:]' '[:lower:]').dat
"$wine" "$probe" --everyone-writes "C:\\users\\$user\\AppData\\Local\\Vellomar\\$daylist"
rm "$c/probe-report.txt"
expect "a notice for the refused list" launcher "$scratch/refused"
expect "refused, saying why: $(cat "$scratch/refused")" grep -q "Everyone may write" "$scratch/refused"
expect "nothing started from it" test ! -e "$c/probe-report.txt"
# A program that cannot be started: the notice, and the log says why.
rm "$work/$daylist"
printf '00:00\r\nC:\\Nowhere\\gone.exe\r\nNormal\r\n%s\r\n' "$(date +%A)" >"$work/$daylist"
expect "a notice for the missing program" launcher "$scratch/missing"
expect "rendaro.log names it" grep -q 'could not start C:\\Nowhere\\gone.exe: there is no such file' "$work/rendaro.log"

click "Vellomar 1.0" 339 344 312 # Reset/Clear List: zeptra.com clears the files
cleared() { [ -z "$(cd "$work" && ls -- *.dat 2>/dev/null)" ]; }
wait_for cleared
click "Vellomar 1.0" 339 452 312 # Exit
wait_for gone "Vellomar 1.0"

"$wine" "$installed/Uninstall.exe" /S # it goes on from a copy of itself
uninstalled() { [ ! -e "$installed/vellomar.exe" ] && [ ! -e "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vellomar/Vellomar.lnk" ]; }
wait_for uninstalled
checks=$((checks + 1))
expect "the user's folder stays" test -f "$work/readme.1st"

"$wine" "$probe" --checks | tr -d '\r' | grep -v '^PASS' || fail "probe.exe --checks"
echo "Wine run: $((SECONDS - started)) s"
echo "$checks passed, 0 failed"

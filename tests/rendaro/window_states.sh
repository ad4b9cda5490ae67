#!/bin/sh
# Rendaro.exe, run as an ordinary account, gives the windows of the programs
# it starts their style on the X display of the test (on-x11.sh --openbox,
# or on-weston.sh's XWayland), and leaves a Normal entry's window as it is:
#   window_states.sh <Rendaro.exe> <test window program> <case>...
# Cases: Max, Min, Normal: the program is the window; Wrapped, asked Max: a
# script starts the window in the background and exits; Detached, asked
# Max: a script starts it in a session of its own and waits; Anonymous,
# asked Max: xmessage, whose window names no process; Late, asked Max: a
# window that cannot be maximized for its first second; Hide: a script starts
# two windows, the second (minimized) once every other case holds, and both
# end withdrawn.
set -u
. "$(dirname "$0")/../support/ordinary.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; ordinary_done' EXIT # the windows end with the display of the test
mkdir "$work/bin" && cp "$1" "$work/bin/Rendaro.exe"
window=$2
shift 2
for case in "$@"; do
  mkdir "$work/$case" && cp "$window" "$work/$case/window"
  style=$case program=start
  case $case in
    Wrapped) style=Max; printf '#!/bin/sh\n./window &\n' ;;
    Detached) style=Max; printf '#!/bin/sh\nsetsid ./window &\nwait\n' ;;
    Late) style=Max; printf '#!/bin/sh\nRENDARO_TEST_FIXED=1 exec ./window\n' ;;
    Anonymous) style=Max; printf '#!/bin/sh\nexec xmessage -name Anonymous -geometry 200x100 hidden\n' ;;
    Hide) printf '#!/bin/sh\n./window &\n(for i in $(seq 200); do [ -e go ] && break; sleep 0.1; done; RENDARO_TEST_MINIMIZED=1 ./window) &\n' ;;
    *) program=window ;;
  esac >"$work/$case/start"
  chmod 755 "$work/$case/start"
  printf '08:00\r\n%s\r\n%s\r\nMonday\r\n' "$work/$case/$program" "$style" >>"$work/datmon.dat"
done
chmod 600 "$work/datmon.dat"
[ "$(id -u)" != 0 ] || chown -R 65534:65534 "$work"
cd "$work" || exit 1
$ordinary QT_QPA_PLATFORM=xcb RENDARO_TEST_LOG="$work/windows" bin/Rendaro.exe --once --at 2026-12-07T09:00 >out 2>&1 &
rendaro=$!

x() { $ordinary "$@" 2>&1; } # the X display may be the ordinary account's alone
ids() { # the windows of a case: those the test window logged, xmessage's by its name
  [ "$1" = Anonymous ] && x xwininfo -root -tree | awk '/\("Anonymous" / {print $1}'
  grep "^$work/$1/window " "$work/windows" 2>/dev/null | cut -d' ' -f2
}
state() { for id in $(ids "$1"); do x xprop -id "$id" _NET_WM_STATE WM_STATE; done; }
maximized() { s=$(state "$1") && echo "$s" | grep -q _NET_WM_STATE_MAXIMIZED_VERT && echo "$s" | grep -q MAXIMIZED_HORZ && ! echo "$s" | grep -q Iconic; }
withdrawn() { # in no client list, not shown
  [ "$(ids "$1" | wc -l)" -eq 2 ] || return 1
  for id in $(ids "$1"); do
    x xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$id")\b" && return 1
    x xwininfo -id "$id" | grep -q "Map State: IsUnMapped" || return 1
  done
}
check() {
  case $1 in
    Max | Wrapped | Detached | Late | Anonymous) maximized "$1" ;;
    Min) state Min | grep -q "window state: Iconic" ;;
    Normal) s=$(state Normal) && echo "$s" | grep -q "window state: Normal" && ! echo "$s" | grep -q MAXIMIZED ;;
    Hide) withdrawn Hide ;;
  esac
}
# Rendaro.exe watches for Hide's windows as long as its patience lasts; the
# test ends it once each case has held, or after a while, and then looks again.
end=$(($(date +%s) + 20)) waiting="$*"
while [ -n "$waiting" ] && [ "$(date +%s)" -le $end ]; do
  for case in $waiting; do check "$case" && waiting=$(echo $(echo $waiting | sed "s/\b$case\b//")); done
  [ "$waiting" = Hide ] && touch Hide/go
  sleep 0.2
done
kill "$rendaro" 2>/dev/null
failed=0
for case in "$@"; do check "$case" || { echo "FAIL: $case: $(state "$case")"; failed=1; }; done
! grep "not applied" rendaro.log || failed=1
[ $failed -eq 0 ] || { echo "windows recorded:"; cat windows; }
exit $failed

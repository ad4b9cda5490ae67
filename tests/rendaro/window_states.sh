#!/bin/sh
# Rendaro.exe maximizes the window of a Max entry and minimizes that of a Min
# entry, under an EWMH window manager (run it with on-x11.sh --openbox); a
# Normal entry's window is left as it is.
#   window_states.sh <Rendaro.exe> <test window program>
set -u
launcher=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT # the windows end with the X server of the test
for style in Max Min Normal; do
  mkdir "$work/$style" && cp "$2" "$work/$style/window"
  printf '08:00\r\n%s\r\n%s\r\nMonday\r\n' "$work/$style/window" "$style" >> "$work/datmon.dat"
done
chmod 600 "$work/datmon.dat"
(cd "$work" && QT_QPA_PLATFORM=xcb RENDARO_TEST_LOG="$work/windows" "$launcher" --once --at 2026-12-07T09:00 >"$work/out" 2>&1) \
  || { echo "FAIL: Rendaro.exe ended with $?"; exit 1; }
state() { xprop -id "$(grep "^$work/$1/window " "$work/windows" | cut -d' ' -f2)" _NET_WM_STATE WM_STATE 2>&1; }
# The launcher has asked for the states before it ended; the window manager may take a moment.
end=$(($(date +%s) + 60))
until state Max | grep -q _NET_WM_STATE_MAXIMIZED_HORZ && state Min | grep -q 'window state: Iconic' \
  || [ "$(date +%s)" -gt $end ]; do
  sleep 0.2
done
failed=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; failed=1; fi; }
check "Max maximized" 'state Max | grep -q _NET_WM_STATE_MAXIMIZED_VERT && state Max | grep -q MAXIMIZED_HORZ'
check "Min minimized" 'state Min | grep -q "window state: Iconic"'
check "Max not minimized" '! state Max | grep -q "window state: Iconic"'
check "Normal left alone" 'state Normal | grep -q "window state: Normal" && ! state Normal | grep -q MAXIMIZED'
[ $failed -eq 0 ] || { echo "windows recorded:"; cat "$work/windows"; }
exit $failed

#!/bin/sh
# Runs a command in a headless weston session with XWayland, weston run as
# an ordinary account (ordinary.sh); DISPLAY and WAYLAND_DISPLAY name its
# displays, and only that account may use its X display:
#   on-weston.sh command [arguments...]
# Exits 77, skipped, where weston or its XWayland cannot start.
set -u
. "$(dirname "$0")/ordinary.sh"
log=$ORDINARY_DIR/weston.log
cleanup() { kill "$weston" 2>/dev/null; wait; ordinary_done; }
skip() { echo "SKIP: $1 cannot start here; weston's log:"; cat "$log"; cleanup; exit 77; }
wait_for() { # wait_for <condition>, for ten seconds at most, while weston runs
  for _ in $(seq 200); do eval "$1" && return; kill -0 "$weston" 2>/dev/null || return 1; sleep 0.05; done
  return 1
}
# Weston takes the first X display number free of a lock file and gives up
# if its socket is taken still (an X server of another test, one that ended
# without removing it): it is tried again a little later.
for attempt in 1 2 3; do
  rm -f "$log"
  $ordinary weston --backend=headless-backend.so --xwayland --socket=wayland-test --idle-time=0 --log="$log" >/dev/null 2>&1 &
  weston=$!
  wait_for 'grep -q "xserver listening on display" "$log" 2>/dev/null' && break
  [ $attempt = 3 ] && skip weston
  kill "$weston" 2>/dev/null; wait "$weston"; sleep 1
done
DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
export DISPLAY WAYLAND_DISPLAY=wayland-test
# XWayland starts with its first client, its window manager with it.
wait_for '$ordinary xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || skip XWayland
"$@"
status=$?
cleanup
exit $status

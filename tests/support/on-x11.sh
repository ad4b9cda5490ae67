#!/bin/sh
# Runs a command on a virtual X display of its own, under the openbox window
# manager with --openbox, both run as an ordinary account (ordinary.sh):
#   on-x11.sh [--openbox] command [arguments...]
# The X server picks a free display itself (-displayfd), so tests that run at
# the same time never end up on one display, as xvfb-run -a may let them.
set -u
wm=false
[ "$1" = --openbox ] && { wm=true; shift; }
. "$(dirname "$0")/ordinary.sh"
dir=$(mktemp -d)
$ordinary Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
xvfb=$!
cleanup() { [ -n "${openbox:-}" ] && kill "$openbox" 2>/dev/null; kill "$xvfb" 2>/dev/null; wait; rm -rf "$dir"; ordinary_done; }
wait_for() { # wait_for <what> <condition>, for half a minute at most
  for _ in $(seq 600); do eval "$2" && return; sleep 0.05; done
  echo "$1 did not start" >&2; cat "$dir/log" >&2; cleanup; exit 1
}
wait_for Xvfb '[ -s "$dir/display" ]'
DISPLAY=:$(cat "$dir/display")
export DISPLAY
if $wm; then
  $ordinary openbox --sm-disable >>"$dir/log" 2>&1 &
  openbox=$!
  wait_for openbox 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
fi
"$@"
status=$?
cleanup
exit $status

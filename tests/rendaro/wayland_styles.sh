#!/bin/sh
# Rendaro.exe's window styles in a Wayland session, against the real
# compositor, headless, run as an ordinary user with folders of its own:
#   wayland_styles.sh mutter|kwin|weston <Rendaro.exe> <test window program>
# mutter: a Max entry's Qt window, sent to XWayland, ends maximized there.
# kwin:   KWin itself, asked by a script, shows the native Wayland windows of
#         a Max entry and of the program a Max entry starts maximized, a Min
#         entry's minimized, a Hide entry's minimized without a taskbar entry
#         and a Normal entry's as it opened; the log names no miss.
# weston, without XWayland: the log tells that Max could not be applied.
# Exits 77 where kwin_wayland cannot run here.
set -u
case $1 in
session | check) way=$2 dir=$3 ;;
*)
  way=$1
  kwin=$(command -v kwin_wayland) || { [ "$way" != kwin ] || { echo "SKIP: kwin_wayland is not installed"; exit 77; }; }
  . "$(dirname "$0")/../support/ordinary.sh" # compositors (and the bus they need) refuse root
  dir=$ORDINARY_DIR && mkdir "$dir/bin"
  cp "$0" "$dir/bin/styles.sh" && cp "$2" "$dir/bin/Rendaro.exe" && cp "$3" "$dir/bin/window" || exit 1
  # A copy of kwin_wayland has none of the file capabilities some machines refuse to run.
  # Without Breeze, KWin falls back to a window decoration whose QML does not load.
  [ "$way" = kwin ] && cp "$kwin" "$dir/bin/kwin_wayland" && printf '[org.kde.kdecoration2]\nNoPlugin=true\n' >"$dir/kwinrc"
  [ "$(id -u)" != 0 ] || chown -R 65534:65534 "$dir"
  bus="dbus-run-session --"
  [ "$way" = weston ] && bus=""
  env -i PATH="$PATH" XDG_CONFIG_HOME="$dir" XDG_CONFIG_DIRS="$dir" XDG_DATA_HOME="$dir" XDG_CACHE_HOME="$dir" XDG_SESSION_TYPE=wayland \
    $ordinary $bus sh "$dir/bin/styles.sh" session "$way" "$dir"
  status=$?
  ordinary_done
  exit $status
  ;;
esac

if [ "$1" = session ]; then
  # The compositor runs the check with its session's variables, weston excepted.
  log=$dir/compositor.log check="sh $dir/bin/styles.sh check $way $dir"
  case $way in
  mutter) mutter --headless --wayland --virtual-monitor 1280x800 --wayland-display vellomar -- $check >"$log" 2>&1 & ;;
  # KWin 6 logs what a script prints only with its scripting messages on.
  kwin) QT_LOGGING_RULES='kwin_scripting.debug=true' "$dir/bin/kwin_wayland" --virtual --xwayland --socket vellomar "$check" >"$log" 2>&1 & ;;
  weston) weston --backend=headless-backend.so --socket=vellomar --idle-time=0 >"$log" 2>&1 & ;;
  esac
  compositor=$!
  if [ "$way" = weston ]; then
    for _ in $(seq 200); do [ -S "$dir/vellomar" ] && break; sleep 0.1; done
    WAYLAND_DISPLAY=vellomar $check
  fi
  for _ in $(seq 900); do [ -s "$dir/status" ] || ! kill -0 $compositor 2>/dev/null && break; sleep 0.1; done
  kill $compositor 2>/dev/null
  wait $compositor
  cat "$dir/messages" 2>/dev/null
  [ -s "$dir/status" ] && exit "$(cat "$dir/status")"
  if [ "$way" = kwin ] && [ ! -e "$dir/messages" ]; then
    echo "SKIP: kwin_wayland did not start here:"; tail -5 "$log"; exit 77
  fi
  echo "FAIL: $way did not start, or the check did not end:"; tail -20 "$log"
  exit 1
fi

# The check, in the compositor's session.
exec >"$dir/messages" 2>&1
failed=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; failed=1; fi; }
until_true() { for _ in $(seq 50); do eval "$1" && return; sleep 0.2; done; }
entry() { # entry <name> <style>: a copy of the test window, named so that its window's caption is <name>
  mkdir -p "$dir/$1" && cp "$dir/bin/window" "$dir/$1/$1"
  printf '08:00\r\n%s\r\n%s\r\nMonday\r\n' "$dir/$1/$1" "$2" >>"$dir/datmon.dat"
}
entry max Max
if [ "$way" = kwin ]; then
  entry min Min && entry hide Hide && entry normal Normal && entry child Max
  # The Max entry "child" is a script that starts the window as a process of its own and ends.
  mv "$dir/child/child" "$dir/child/child-window"
  printf '#!/bin/sh\n"$(dirname "$0")/child-window" &\n' >"$dir/child/child" && chmod 755 "$dir/child/child"
fi
chmod 600 "$dir/datmon.dat"
(cd "$dir" && RENDARO_TEST_LOG="$dir/windows" bin/Rendaro.exe --once --at 2026-12-07T09:00 >rendaro.out 2>&1) \
  || { echo "FAIL: Rendaro.exe ended with $?"; cat "$dir/rendaro.out"; failed=1; }

case $way in
mutter)
  state() { xprop -id "$(grep "^$dir/max/max " "$dir/windows" | cut -d' ' -f2)" _NET_WM_STATE 2>&1; }
  until_true 'state | grep -q MAXIMIZED_VERT && state | grep -q MAXIMIZED_HORZ'
  check "Max maximized on XWayland" 'state | grep -q _NET_WM_STATE_MAXIMIZED_VERT && state | grep -q _NET_WM_STATE_MAXIMIZED_HORZ'
  check "no miss logged" '! grep "not applied" "$dir/rendaro.log"'
  ;;
kwin)
  # A script of the test names each window's caption, id and kind in KWin's
  # log, each asking a round of its own; KWin's window information is read
  # for each id.
  round=0
  kwin() { dbus-send --session --print-reply=literal --dest=org.kde.KWin "$@"; }
  ask() {
    round=$((round + 1))
    cat >"$dir/ask.js" <<EOF
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i)
    print("window $round", windows[i].caption, windows[i].internalId, windows[i].windowId ? "x11" : "wayland");
print("window $round", "end");
EOF
    id=$(kwin /Scripting org.kde.kwin.Scripting.loadScript string:"$dir/ask.js" string:ask | awk '{print $2}')
    kwin "/Scripting/Script$id" org.kde.kwin.Script.run >/dev/null 2>&1 || kwin "/$id" org.kde.kwin.Script.run >/dev/null
    for _ in $(seq 20); do grep -q "window $round end" "$dir/compositor.log" && break; sleep 0.1; done
    kwin /Scripting org.kde.kwin.Scripting.unloadScript string:ask >/dev/null
  }
  window() { grep -o "window $round $1 .*" "$dir/compositor.log"; }
  # is <caption> <key> <value>: KWin's information on the window has the key with that value
  is() {
    dbus-send --session --print-reply --dest=org.kde.KWin /KWin org.kde.KWin.getWindowInfo string:"$(window "$1" | cut -d' ' -f4)" \
      | tr -s ' \n' ' ' | grep -q "\"$2\" variant $3"
  }
  maximized() { is "$1" maximizeHorizontal 'int32 [1-9]' && is "$1" maximizeVertical 'int32 [1-9]'; }
  until_true 'ask; maximized max && maximized child-window && is min minimized "boolean true" && is hide skipTaskbar "boolean true"'
  check "Max maximized" 'maximized max'
  check "Max's window a native Wayland one" 'window max | grep -q " wayland$"'
  check "the window of the program a Max entry starts maximized" 'maximized child-window'
  check "Min minimized" 'is min minimized "boolean true" && ! maximized min'
  check "Hide minimized without a taskbar entry" 'is hide minimized "boolean true" && is hide skipTaskbar "boolean true"'
  check "Normal left as it opened" 'is normal minimized "boolean false" && ! maximized normal && is normal skipTaskbar "boolean false"'
  check "no miss logged" '! grep "not applied" "$dir/rendaro.log"'
  [ $failed -eq 0 ] || grep -o "window $round .*" "$dir/compositor.log"
  ;;
weston)
  check "the miss of Max logged" \
    'grep -qF "Max not applied to 08:00 Max $dir/max/max: this desktop lets no program set another'"'"'s window" "$dir/rendaro.log"'
  ;;
esac
[ $failed -eq 0 ] || cat "$dir/rendaro.log"
echo $failed >"$dir/status"

#!/usr/bin/env bash
# The real vellomar on a virtual X display with a window manager, looked at
# and driven with the mouse at the places the layout gives its controls (in
# twips, 15 to a pixel, from the client area's top-left corner): its icon
# is 32 x 32 pixels in 16 colours; the controls are drawn there; a day box
# and Pick Program answer there; Show List opens the viewer, whose Monday
# draws the day brinol.com gathered; Back brings the main window back where
# the user had moved it; Exit ends the program.
#   vellomar.sh <bin-dir> <screenshot-dir> [<scale> as num/den, e.g. 3/2]
set -euo pipefail
bin=$1 shots=$2 && mkdir -p "$shots"
scale=${3:-1/1} num=${scale%/*} den=${scale#*/}
tw() { echo $(($1 * num / (15 * den))); } # twips to device pixels
px() { echo $(($1 * num / den)); }        # pixels at 100 % to device pixels
near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }
work=$(mktemp -d) && cd "$work"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
printf '07:30\r\n/usr/bin/true\r\nHide\r\nMonday\r\n' >Mon2.dat
env -u QT_QPA_PLATFORM QT_SCALE_FACTOR="$(echo "scale=2; $num / $den" | bc)" "$bin/vellomar" & pid=$!

fail() { echo "FAIL: $*"; exit 1; }
# Polls a condition for about 15 s.
until_ok() { local what=$1; shift; for _ in $(seq 150); do "$@" && return; sleep 0.1; done; fail "$what"; }
win() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
shown() { [ -n "$(win "$1")" ]; }
place() { xwininfo -id "$1" | awk '/Absolute upper-left/ {printf "%s ", $4}'; }
# click <window> <left> <top> <width> <height>: the middle of a control; its
# client area starts $top pixels down the window (below the menu bar).
click() { xdotool mousemove --window "$1" $(tw $(($2 + $4 / 2))) $((top + $(tw $(($3 + $5 / 2))))) click 1; }
# laid_out <window> <picture> (<left> <top> <width> <height>)...: a fresh
# picture of the window shows each control's left and top edges where the
# layout puts them: 3 pixels inside differ from the background, 3 outside not.
laid_out() {
  local window=$1 picture=$2 points="%[pixel:p{2,$((top + 2))}]" l t w h && shift 2
  import -window "$window" "$picture" 2>/dev/null || return 1
  while [ $# -gt 0 ]; do
    l=$(tw $1) t=$((top + $(tw $2))) w=$(tw $3) h=$(tw $4) && shift 4
    points+=" %[pixel:p{$((l + 3)),$((t + h / 2))}] %[pixel:p{$((l + w / 2)),$((t + 3))}]"
    points+=" %[pixel:p{$((l - 3)),$((t + h / 2))}] %[pixel:p{$((l + w / 2)),$((t - 3))}]"
  done
  convert "$picture" -format "$points" info: |
    awk '{ for (i = 2; i < NF; i += 4) if ($i == $1 || $(i + 1) == $1 || $(i + 2) != $1 || $(i + 3) != $1) exit 1 }'
}

until_ok "the main window appears" shown "Vellomar 1.0"
main=$(win "Vellomar 1.0")
# The window's icon as the window manager has it: one image, 32 x 32, in 16 colours at most.
xprop -id "$main" -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON | cut -d= -f2 | tr , '\n' | awk '
  NR == 1 {w = $1} NR == 2 {h = $1} NR > 2 {n++; if (!($1 in seen)) {seen[$1]; k++}}
  END {print "icon", w "x" h, n " pixels", k " colours"; exit !(w == 32 && h == 32 && n == 1024 && k <= 16)}' \
  || fail "the window's icon is not one image of 32 x 32 pixels in 16 colours"
top=$(($(xwininfo -id "$main" | awk '/Height/ {print $2}') - $(px 339))) # the menu bar
[ "$top" -gt 10 ] && near "$(xwininfo -id "$main" | awk '/Width/ {print $2}')" "$(px 609)" || fail "client area not 609 x 339 at $scale"
# Monday's box, the hour and run style lists, the folder and file lists, Pick Program.
until_ok "the main window drawn as laid out" laid_out "$main" "$shots/main_window.png" 480 1320 255 255 \
  4440 1320 735 360 7320 1320 1575 360 3120 2040 2655 1890 6000 2040 2655 1845 240 4440 1455 495

# Monday ticked and no file selected: Pick Program says so.
click "$main" 480 1320 255 255
click "$main" 240 4440 1455 495
until_ok "Pick Program's message" shown Vellomar
xdotool windowactivate --sync "$(win Vellomar)" key Return
until_ok "the message closes" eval '[ -z "$(win Vellomar)" ]'

xdotool windowmove --sync "$main" 310 220
moved=$(place "$main")
click "$main" 1800 4440 1095 495 # Show List
until_ok "the viewer opens" shown "Program to be Run"
viewer=$(win "Program to be Run") menu=$top top=0
# Monday and Back to Main Menu.
until_ok "the viewer drawn as laid out" laid_out "$viewer" "$shots/viewer.png" 120 7200 975 495 7800 7200 975 495
near "$(identify -format %w "$shots/viewer.png")" "$(px 673)" && near "$(identify -format %h "$shots/viewer.png")" "$(px 519)" \
  || fail "viewer client area not 673 x 519 at $scale"
click "$viewer" 120 7200 975 495
drawn() { import -window "$viewer" "$1" && [ "$(convert "$1" -crop 200x60+0+0 -format %k info:)" -gt 2 ]; }
until_ok "Monday's list drawn at the top" drawn "$shots/viewer.png"

click "$viewer" 7800 7200 975 495 # Back
until_ok "Back shows the main window" shown "Vellomar 1.0"
back() { local now; now=$(place "$main"); near "${now%% *}" "${moved%% *}" && near "$(echo $now | cut -d' ' -f2)" "$(echo $moved | cut -d' ' -f2)"; }
until_ok "the main window back at $moved (within a pixel, as the scale rounds)" back
top=$menu
click "$main" 6120 4440 1335 495 # Exit
until_ok "Exit ends the program" eval '! kill -0 "$pid" 2>/dev/null'
wait "$pid" || fail "Exit: status $?"

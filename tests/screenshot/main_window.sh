#!/usr/bin/env bash
# Starts the real vellomar on a virtual X display, grabs its window and
# checks the picture: the client area is 609 x 339 below the menu bar, and
# the window is drawn (not one flat colour).
#   main_window.sh <bin-dir> <output.png>
set -euo pipefail
bin=$1
out=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

unset QT_QPA_PLATFORM
"$bin/vellomar" &
pid=$!

id=
for _ in $(seq 1 300); do
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Vellomar 1.0"/ {print $1; exit}')
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "FAIL: no window titled \"Vellomar 1.0\" appeared"; exit 1; }
# The window is listed before it is first drawn: grab until the picture
# shows the layout (the title at the top, the button row near the bottom),
# or give up after about 15 s.
drawn() {
  import -window "$id" "$out" 2>/dev/null || return 1
  read -r width height < <(identify -format '%w %h\n' "$out")
  menu=$((height - 339))
  [ "$menu" -ge 0 ] || return 1
  for band in "609x20+0+$((menu + 16))" "609x33+0+$((menu + 296))"; do
    c=$(convert "$out" -crop "$band" +repage -format '%k' info:)
    [ "$c" -gt 2 ] || return 1
  done
}
for _ in $(seq 1 30); do drawn && break; sleep 0.5; done

echo "window $width x $height (menu bar $menu px), picture in $out"
[ "$width" -eq 609 ] || { echo "FAIL: width $width, expected 609"; exit 1; }
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || { echo "FAIL: height $height is not 339 plus a menu bar"; exit 1; }
drawn || { echo "FAIL: the title or the button row was not drawn"; exit 1; }

colours=$(convert "$out" -format '%k' info:)
deviation=$(convert "$out" -colorspace Gray -format '%[fx:standard_deviation]' info:)
echo "colours $colours, grey deviation $deviation"
[ "$colours" -gt 8 ] || { echo "FAIL: the window is blank ($colours colours)"; exit 1; }
awk -v d="$deviation" 'BEGIN { exit !(d > 0.05) }' || { echo "FAIL: the window is nearly flat"; exit 1; }
echo "1 passed, 0 failed"

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
for _ in $(seq 1 100); do
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Vellomar 1.0"/ {print $1; exit}')
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "FAIL: no window titled \"Vellomar 1.0\" appeared"; exit 1; }
# Let the file list finish listing before the picture is taken.
sleep 1

import -window "$id" "$out"
read -r width height < <(identify -format '%w %h\n' "$out")
menu=$((height - 339))
echo "window $width x $height (menu bar $menu px), picture in $out"
[ "$width" -eq 609 ] || { echo "FAIL: width $width, expected 609"; exit 1; }
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || { echo "FAIL: height $height is not 339 plus a menu bar"; exit 1; }

colours=$(convert "$out" -format '%k' info:)
deviation=$(convert "$out" -colorspace Gray -format '%[fx:standard_deviation]' info:)
echo "colours $colours, grey deviation $deviation"
[ "$colours" -gt 8 ] || { echo "FAIL: the window is blank ($colours colours)"; exit 1; }
awk -v d="$deviation" 'BEGIN { exit !(d > 0.05) }' || { echo "FAIL: the window is nearly flat"; exit 1; }

# The client area below the menu bar holds the layout: the title label at the
# top and the button row near the bottom must both have drawn something.
for band in "609x20+0+$((menu + 16))" "609x33+0+$((menu + 296))"; do
  c=$(convert "$out" -crop "$band" +repage -format '%k' info:)
  [ "$c" -gt 2 ] || { echo "FAIL: band $band is empty"; exit 1; }
done
echo "1 passed, 0 failed"

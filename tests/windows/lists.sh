#!/usr/bin/env bash
# Under Wine, in a stock prefix and in one with Wine's own faces installed,
# the hour, minute, AM/PM and run style lists of the installed program read
# "12", "00", "PM" and "Normal" to OCR: every glyph whole, in a face that is
# there. Then the layout walk (test_layout.exe) with the faces of each prefix
# at 100 %, 125 %, 150 % and 200 %. Run by e2e.sh on its display.
#   lists.sh <installer> <scratch folder> <test_layout.exe> <Qt6Test.dll>
set -uo pipefail
installer=$1 scratch=$2 walk=("$3" "$4") failed=0 && mkdir -p "$scratch"
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
for fonts in stock wine; do
  export WINEPREFIX=$scratch/$fonts
  "$wine" wineboot -i >/dev/null 2>&1; [ $fonts = stock ] || cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$wine" "$installer" /S && "$wineserver" -w && mkdir -p "$scratch/work-$fonts" && cd "$scratch/work-$fonts"
  "$wine" 'C:\Program Files\Vellomar\vellomar.exe' >/dev/null 2>&1 &
  for _ in $(seq 240); do id=$(xdotool search --onlyvisible --name '^Vellomar 1.0$' 2>/dev/null | head -1) && [ -n "$id" ] && break; sleep 0.25; done
  [ -n "$id" ] || { echo "FAIL: no window in a $fonts prefix"; failed=1; continue; }
  sleep 2 && import -window "$id" "$scratch/$fonts.png" # once painted
  # Each list's box inside its frame, from the layout (pixels of the client
  # area, which ends the window's picture: 339 pixels high).
  top=$(($(identify -format %h "$scratch/$fonts.png") - 339)) read=""
  for box in "296 49" "352 49" "408 57" "488 105"; do
    set -- $box && convert "$scratch/$fonts.png" -crop "$(($2 - 4))x20+$(($1 + 2))+$((top + 90))" +repage -colorspace gray \
      -scale 400% -bordercolor white -border 20 "$scratch/box.png"
    read+="$(tesseract "$scratch/box.png" - --psm 7 2>/dev/null | tr -d '\n\f') "
  done
  [ "$read" = "12 00 PM Normal " ] || { echo "FAIL: in a $fonts prefix the lists read \"$read\""; failed=1; }
  "$wineserver" -k && cp "${walk[@]}" "$WINEPREFIX/drive_c/Program Files/Vellomar/"
  for dpi in 96 120 144 192; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1 && "$wineserver" -w
    "$wine" 'C:\Program Files\Vellomar\test_layout.exe' -o "layout-$dpi.txt,txt" >/dev/null 2>&1 \
      || { echo "FAIL: the layout in a $fonts prefix at $dpi DPI:"; grep -A3 FAIL "layout-$dpi.txt"; failed=1; }
  done
done
exit $failed

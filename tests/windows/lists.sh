# Sourced by e2e.sh, on its display, with its helpers. Under Wine, in a stock
# prefix and in one with Wine's own faces installed, the hour, minute, AM/PM
# and run style lists of the installed program read "12", "00", "PM" and
# "Normal" to OCR: every glyph whole, in a face that is there. Then the
# layout walk (test_layout.exe) with the faces of each prefix at 100 %,
# 125 %, 150 % and 200 %.
for fonts in stock wine; do
  export WINEPREFIX=$scratch/lists/$fonts && mkdir -p "$scratch/lists/work-$fonts" && cd "$scratch/lists/work-$fonts"
  "$wine" wineboot -i >/dev/null 2>&1; [ $fonts = stock ] || cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$wine" "$src/build/windows/vellomar-1.0.0-win64.exe" /S && "$wineserver" -w || fail "installing in a $fonts prefix"
  "$wine" 'C:\Program Files\Vellomar\vellomar.exe' >/dev/null 2>&1 &
  wait_for shown "Vellomar 1.0"
  sleep 2 && import -window "$(window "Vellomar 1.0")" $fonts.png # once painted
  # Each list's box inside its frame, from the layout (pixels of the client
  # area, which ends the window's picture: 339 pixels high).
  top=$(($(identify -format %h $fonts.png) - 339)) read=""
  for box in "296 49" "352 49" "408 57" "488 105"; do
    set -- $box && convert $fonts.png -crop "$(($2 - 4))x20+$(($1 + 2))+$((top + 90))" +repage -colorspace gray \
      -scale 400% -bordercolor white -border 20 box.png
    read+="$(tesseract box.png - --psm 7 2>/dev/null | tr -d '\n\f') "
  done
  [ "$read" = "12 00 PM Normal " ] || fail "in a $fonts prefix the lists read \"$read\""
  "$wineserver" -k && cp "$bin/test_layout.exe" "$qt/bin/Qt6Test.dll" "$WINEPREFIX/drive_c/Program Files/Vellomar/"
  for dpi in 96 120 144 192; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1 && "$wineserver" -w
    "$wine" 'C:\Program Files\Vellomar\test_layout.exe' -o "layout-$dpi.txt,txt" >/dev/null 2>&1 \
      || fail "the layout in a $fonts prefix at $dpi DPI: $(grep -A3 FAIL "layout-$dpi.txt")"
  done
done

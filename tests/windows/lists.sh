#!/usr/bin/env bash
# Under Wine, in a stock prefix and in one with Wine's own faces installed,
# the hour, minute, AM/PM and run style lists of the installed program read
# "12", "00", "PM" and "Normal" to OCR: every glyph whole, in a face that is
# there. Uses the installer that the Windows end-to-end test builds.
#   lists.sh <source dir> <Qt for Windows, empty when none>
# Exit code 77 (skipped) when there is no Qt for Windows.
set -euo pipefail
src=$1 qt=$2
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
installer=$src/build/windows/vellomar-1.0.0-win64.exe
if [ -z "${VELLOMAR_E2E_DISPLAY:-}" ]; then
  [ -n "$qt" ] || { echo "SKIP: no Qt for Windows"; exit 77; }
  [ -f "$installer" ] || { echo "FAIL: no installer: the Windows end-to-end test makes it"; exit 1; }
  unset QT_QPA_PLATFORM
  exec env VELLOMAR_E2E_DISPLAY=1 sh "$src/tests/support/on-x11.sh" --openbox bash "$0" "$@"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vellomar-lists.XXXXXX")
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
failed=0
for fonts in stock wine; do
  export WINEPREFIX=$scratch/$fonts WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  "$wine" wineboot -i >/dev/null 2>&1
  [ $fonts = stock ] || cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$wine" "$installer" /S && "$wineserver" -w
  mkdir "$scratch/work-$fonts" && cd "$scratch/work-$fonts"
  "$wine" 'C:\Program Files\Vellomar\vellomar.exe' >/dev/null 2>&1 &
  for _ in $(seq 240); do id=$(xdotool search --onlyvisible --name '^Vellomar 1.0$' 2>/dev/null | head -1) && [ -n "$id" ] && break; sleep 0.25; done
  sleep 2 # painted
  import -window "$id" "$scratch/$fonts.png"
  # Each list's box inside its frame, from the layout (pixels of the client
  # area, which ends the window's picture: 339 pixels high).
  top=$(($(identify -format %h "$scratch/$fonts.png") - 339)) read=""
  for box in "296 49" "352 49" "408 57" "488 105"; do
    set -- $box
    convert "$scratch/$fonts.png" -crop "$(($2 - 4))x20+$(($1 + 2))+$((top + 90))" +repage -colorspace gray \
      -scale 400% -bordercolor white -border 20 "$scratch/box.png"
    read+="$(tesseract "$scratch/box.png" - --psm 7 2>/dev/null | tr -d '\n\f') "
  done
  [ "$read" = "12 00 PM Normal " ] || { echo "FAIL: in a $fonts prefix the lists read \"$read\""; failed=1; }
  "$wineserver" -k || true
done
exit $failed

#!/bin/sh
# Renders the application icon from its source app/icons/vellomar.svg into
# the sizes the programs and packages carry, all committed beside this script:
#   vellomar-<size>.png  the hicolor theme's sizes (Linux menu entry)
#   vellomar.ico         the Windows programs' and the installer's icon
#   app/icons/vellomar.png  the window's own icon (32 pixels)
# Needs rsvg-convert (Debian librsvg2-bin) and icotool (icoutils).
#   sh packaging/icons/render.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
svg=$here/../../app/icons/vellomar.svg
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size "$svg" -o "$here/vellomar-$size.png"
done
cp "$here/vellomar-32.png" "$here/../../app/icons/vellomar.png"
# The largest size is stored as PNG inside the .ico, as Windows expects.
icotool -c -o "$here/vellomar.ico" "$here/vellomar-16.png" "$here/vellomar-24.png" \
  "$here/vellomar-32.png" "$here/vellomar-48.png" -r "$here/vellomar-256.png"

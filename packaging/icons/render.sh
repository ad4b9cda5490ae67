#!/bin/sh
# Renders the application icon from its source app/icons/vellomar.svg into
# the sizes the programs and packages carry, all committed beside this script:
#   vellomar-<size>.png  the hicolor theme's sizes (Linux menu entry)
#   vellomar.ico         the Windows programs' and the installer's icon
#   app/icons/window.png the main window's own icon: 32 x 32 pixels in 16
#                        colours, the design's seven, eight blends of those
#                        that meet at its edges, and transparent
# Needs rsvg-convert (Debian librsvg2-bin), icotool (icoutils) and
# ImageMagick's convert.
#   sh packaging/icons/render.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
svg=$here/../../app/icons/vellomar.svg
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size "$svg" -o "$here/vellomar-$size.png"
done
# The largest size is stored as PNG inside the .ico, as Windows expects.
icotool -c -o "$here/vellomar.ico" "$here/vellomar-16.png" "$here/vellomar-24.png" \
  "$here/vellomar-32.png" "$here/vellomar-48.png" -r "$here/vellomar-256.png"

# The window's icon: each pixel of the 32-pixel rendering takes the nearest
# colour of the palette, undithered, and is either opaque or transparent.
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
palette=
for colour in ffffff 1f2a44 1f3f99 b8bec9 e0262b ffd21f a3121a \
              8f94a1 8f7e31 1f346e d1721c dbdee4 ef9295 611e2f 6b7486; do
  palette="$palette xc:#$colour"
done
# shellcheck disable=SC2086 # one argument per colour
convert $palette +append "$work/palette.png"
convert "$here/vellomar-32.png" -alpha off +dither -remap "$work/palette.png" "$work/colours.png"
convert "$here/vellomar-32.png" -alpha extract -threshold 50% "$work/opaque.png"
convert "$work/colours.png" "$work/opaque.png" -alpha off -compose CopyOpacity -composite \
  -strip PNG8:"$here/../../app/icons/window.png"

#!/bin/sh
# Regenerates every PNG in this folder from the sources in src/.
#   src/NAME.svg      -> NAME.png         (16 px pictures and strips, drawn pixel by pixel)
#   src/NAME@2x.svg   -> NAME@2x.png      (HiDPI pictures, drawn on the 32 px grid)
#   src/icon128_32.svg -> icon128@2x.png, icon128_32.png (32 x 32) and icon128_32@2x.png (64 x 64)
#   src/bitmap141*.xpm -> bitmap141*.png  (RGB without alpha, four colours)
#   app/mopira.svg    -> app/mopira-SIZE.png for the desktop's icon theme, 22 to 256 px (at
#                        16 px the theme gets icon128.png, pixel art that stays sharp)
# Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick's convert.
# The build does not run this script; the PNGs are kept in the repository.
# Usage: sh res/icons/render.sh
set -eu
cd "$(dirname "$0")"

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "render.sh: $tool is missing" >&2; exit 1; }
done

for svg in src/*.svg; do
  name=$(basename "$svg" .svg)
  case "$name" in
    icon128_32)
      rsvg-convert "$svg" -o icon128_32.png
      rsvg-convert "$svg" -o icon128@2x.png
      rsvg-convert -w 64 -h 64 "$svg" -o icon128_32@2x.png
      ;;
    *)
      rsvg-convert "$svg" -o "$name.png"
      ;;
  esac
done

for xpm in src/bitmap141*.xpm; do
  name=$(basename "$xpm" .xpm)
  convert "$xpm" -strip "PNG24:$name.png"
done

for size in 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" app/mopira.svg -o "app/mopira-$size.png"
done

echo "render.sh: done"

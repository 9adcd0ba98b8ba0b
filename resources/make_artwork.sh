#!/usr/bin/env bash
# Draws an edition's picture (900 x 424, 24-bit BMP) and the program icon with ImageMagick.
#   make_artwork.sh EDITION PICTURE.bmp ICON.ico
set -euo pipefail
edition=$1 picture=$2 icon=$3
case "$edition" in
  Indigo) top='#1b1464' bottom='#4b0082' accent='#8f7bff' ;;
  Cobalt) top='#002b5c' bottom='#0047ab' accent='#4fc3ff' ;;
  *) top='#202020' bottom='#404040' accent='#a0a0a0' ;;
esac
convert -size 900x424 "gradient:$top-$bottom" \
  -fill "$accent" -draw "rectangle 0,300 900,304" \
  -fill white -font DejaVu-Sans-Bold -pointsize 64 -annotate +40+120 "Mixarro" \
  -fill "$accent" -font DejaVu-Sans -pointsize 40 -annotate +44+180 "$edition" \
  -type TrueColor "BMP3:$picture"
convert -size 32x32 "xc:$bottom" -fill "$accent" -draw "circle 16,16 16,4" \
  -fill white -draw "rectangle 14,8 18,24" "$icon"

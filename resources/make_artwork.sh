#!/usr/bin/env bash
# Draws an edition's picture (900 x 424, 24-bit BMP, bitmap 101) and the program icon
# (100) with ImageMagick, from primitives only: a stylised mixing console (channel strips
# with knobs, level meters and faders) beside the product name and the edition's name.
# The editions differ in colours, strip count and the console's side.
#   make_artwork.sh EDITION PICTURE.bmp ICON.ico
set -euo pipefail
edition=$1 picture=$2 icon=$3
case "$edition" in
  Indigo) top='#0d0630' bottom='#3a0f6b' accent='#b48cff' glow='#ff5fd2' strips=8 side=right ;;
  Cobalt) top='#001326' bottom='#00407a' accent='#5fd0ff' glow='#7dffb0' strips=6 side=left ;;
  *) top='#202020' bottom='#404040' accent='#a0a0a0' glow='#ffffff' strips=6 side=right ;;
esac

# The console: a panel with one strip per channel.
strip_w=44 gap=10
panel_w=$(( strips * (strip_w + gap) + gap ))
if [ "$side" = right ]; then panel_x=$(( 900 - 30 - panel_w )); text_x=40
else panel_x=30; text_x=$(( panel_x + panel_w + 40 )); fi
panel_y=40 panel_h=320
console=(-fill '#00000080' -stroke "$accent" -strokewidth 2
  -draw "roundrectangle $panel_x,$panel_y $(( panel_x + panel_w )),$(( panel_y + panel_h )) 12,12"
  -stroke none)
for ((i = 0; i < strips; i++)); do
  x=$(( panel_x + gap + i * (strip_w + gap) ))
  cx=$(( x + strip_w / 2 ))
  # Two knobs with their pointer lines.
  for k in 0 1; do
    ky=$(( panel_y + 28 + k * 42 ))
    angle=$(( (i * 37 + k * 71) % 270 ))
    px=$(awk -v a="$angle" -v c="$cx" 'BEGIN{printf "%d", c + 12*cos((a+135)*3.14159/180)}')
    py=$(awk -v a="$angle" -v c="$ky" 'BEGIN{printf "%d", c + 12*sin((a+135)*3.14159/180)}')
    console+=(-fill '#1a1a2a' -stroke "$accent" -strokewidth 2 -draw "circle $cx,$ky $(( cx + 15 )),$ky"
      -stroke white -strokewidth 2 -draw "line $cx,$ky $px,$py" -stroke none)
  done
  # Level meter: lit segments from the bottom, the top ones in the glow colour.
  level=$(( 4 + (i * 5 + 3) % 9 ))
  for ((s = 0; s < 12; s++)); do
    sy=$(( panel_y + 240 - s * 11 ))
    if (( s < level )); then
      if (( s >= 9 )); then colour=$glow; else colour=$accent; fi
    else colour='#ffffff22'; fi
    console+=(-fill "$colour" -draw "rectangle $(( x + 4 )),$sy $(( x + 12 )),$(( sy + 7 ))")
  done
  # Fader slot and cap.
  slot_top=$(( panel_y + 115 )) slot_bottom=$(( panel_y + 300 ))
  cap_y=$(( slot_top + 20 + (i * 53 + 17) % 140 ))
  console+=(-fill '#000000' -draw "rectangle $(( cx + 6 )),$slot_top $(( cx + 9 )),$slot_bottom"
    -fill '#dcdcdc' -stroke '#000000' -strokewidth 1
    -draw "roundrectangle $(( cx - 2 )),$(( cap_y - 8 )) $(( cx + 17 )),$(( cap_y + 8 )) 3,3"
    -stroke "$glow" -draw "line $(( cx - 1 )),$cap_y $(( cx + 16 )),$cap_y" -stroke none)
done

# Sound waves behind the name, a shaded foot for the OS label.
waves=()
for ((w = 0; w < 5; w++)); do
  waves+=(-fill none -stroke "${accent}$(printf '%02x' $(( 90 - w * 15 )))" -strokewidth 3
    -draw "bezier 0,$(( 250 + w * 14 )) 225,$(( 180 + w * 30 )) 450,$(( 330 - w * 20 )) 900,$(( 230 + w * 18 ))")
done

convert -size 900x424 "gradient:$top-$bottom" \
  "${waves[@]}" -stroke none \
  -fill '#00000066' -draw "rectangle 0,376 900,424" \
  "${console[@]}" \
  -fill white -font DejaVu-Sans-Bold -pointsize 72 -annotate "+${text_x}+130" "Mixarro" \
  -fill "$accent" -font DejaVu-Sans-Bold -pointsize 44 -annotate "+$(( text_x + 4 ))+190" "$edition" \
  -fill '#ffffffcc' -font DejaVu-Sans -pointsize 20 -annotate "+$(( text_x + 4 ))+232" "The Virtual Mixing Console" \
  -fill '#ffffff99' -font DejaVu-Sans -pointsize 16 -annotate "+$(( text_x + 4 ))+262" "QX-Audio Software" \
  -alpha off -type TrueColor "BMP3:$picture"

# Icon: a fader cap over three level bars in the edition's colours, 16, 32 and 48 pixels.
convert -size 48x48 "xc:$bottom" \
  -fill "$accent" -draw "rectangle 8,28 14,42" -draw "rectangle 20,16 26,42" -draw "rectangle 32,22 38,42" \
  -fill "$glow" -draw "rectangle 20,8 26,14" \
  -fill white -stroke black -draw "roundrectangle 4,30 44,36 2,2" \
  -define icon:auto-resize=48,32,16 "$icon"

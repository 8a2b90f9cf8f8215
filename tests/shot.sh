#!/usr/bin/env bash
# The one check of a screenshot against the game's own images, for every test that looks at
# the game from outside (a real X11 window, the browser page, the game under Wine):
#
#   shot.sh SCREENSHOT RES SCALE LEFT TOP CHECK [ARGS...]
#
# The 640 x 480 playfield lies in SCREENSHOT with its top-left corner at (LEFT, TOP), one
# canvas pixel SCALE screenshot pixels wide (SCALE may be fractional); it is cut out and
# sampled once per canvas pixel. RES holds the game's generated images. CHECK is one of:
#
#   background X Y        canvas pixel (X, Y) is the background, (102, 76, 76)
#   clean X Y             the window with top-left (X, Y) shows whole and clean
#   shattered X Y MX MY   it shows shattered, not clean, but for the crosshair at (MX, MY)
#   cracked X Y MX MY     the crate with top-left (X, Y) shows cracked, not whole, likewise
#
# Exits 0 when the check holds, else 1 with one line on stderr saying what is not so.
set -euo pipefail
[ $# -ge 6 ] || { echo "usage: shot.sh SCREENSHOT RES SCALE LEFT TOP CHECK [ARGS...]" >&2 && exit 2; }
shot=$1 res=$2 scale=$3 left=$4 top=$5 check=$6
shift 6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
canvas=$work/canvas.png

size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 640 * s + 0.5, 480 * s + 0.5 }')
convert "$shot" -crop "$size+$left+$top" +repage -sample '640x480!' "$canvas" || exit 2

fail() {
  echo "shot.sh: $*" >&2
  exit 1
}
# Whether the maximum of an image's colour channels is 0: nothing differs.
zero() { [ "$(convert "$@" -alpha off -format '%[max]' info:)" = 0 ]; }
# The rectangle x0,y0,x1,y1 of the crosshair centred on (MX, MY), which the checks pass over.
mask() {
  local half=$(($(identify -format %w "$res/cursor.bmp") / 2))
  echo "$(($1 - half)),$(($2 - half)),$(($1 + half)),$(($2 + half))"
}
# covers X Y MASK IMAGE: the image's opaque pixels show unchanged with its top-left corner at
# canvas (X, Y), but for those in the MASK rectangle.
covers() {
  zero "$canvas" \( +clone \( "$res/$4" -channel A -threshold 99% +channel \) \
    -geometry "+$1+$2" -compose over -composite \) +geometry -compose difference -composite \
    -fill black -draw "rectangle $3"
}
# damaged X Y MX MY WHOLE DAMAGED: the sprite shows DAMAGED and not WHOLE.
damaged() {
  local m
  m=$(mask "$3" "$4")
  covers "$1" "$2" "$m" "$6" || fail "no $6 at ($1, $2)"
  ! covers "$1" "$2" "$m" "$5" || fail "$5 still at ($1, $2)"
}

case $check in
background)
  rgb=$(convert "$canvas" -crop "1x1+$1+$2" -depth 8 \
    -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:)
  [ "$rgb" = 102,76,76 ] || fail "($1, $2) is $rgb, not the background 102,76,76"
  ;;
clean) covers "$1" "$2" -1,-1,-1,-1 windowclean.bmp || fail "no clean window at ($1, $2)" ;;
shattered) damaged "$@" windowclean.bmp window.bmp ;;
cracked) damaged "$@" box.bmp boxdestroyed.bmp ;;
*) echo "shot.sh: unknown check '$check'" >&2 && exit 2 ;;
esac

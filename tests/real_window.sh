#!/usr/bin/env bash
# The game in a real X11 window, on a screen of its own (Xvfb), driven with xdotool and
# read back with ImageMagick:
#
#   real_window.sh PORDECK
#
# The window has the game's icon. At scale 1 the background and the last window of the
# level show; a press on that window shatters it. Full screen and back (F11 twice),
# with no window manager to carry it out, gives the same picture again. Asked to quit, the game
# exits with status 0. Last, started where no OpenGL library can be loaded, the game runs all
# the same, on SDL's software renderer.
set -euo pipefail
game=$1
res=$(dirname "$game")/res
work=$(mktemp -d)
# The game goes before its X server: one that loses its display while it quits may never end.
trap '{ kill "${game_pid:-}" && wait "$game_pid"; } 2>/dev/null || true
  kill ${xvfb:-} 2>/dev/null || true; wait; rm -rf "$work"' EXIT
nomask=-1,-1,-1,-1

fail() {
  echo "FAIL: $*" >&2
  cat "$work/game.log" >&2
  exit 1
}

# Runs a check until it passes, for at most about 5 s.
retry() {
  local deadline=$((SECONDS + 5))
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.05
  done
}

# Grabs the window and cuts the 640 x 480 canvas out of it, shown at $scale from
# ($off_x, $off_y), into canvas.png; then runs the check given.
at() {
  import -silent -window "$window" "$work/shot.png" &&
    convert "$work/shot.png" -crop "$((640 * scale))x$((480 * scale))+$off_x+$off_y" +repage \
      -sample 640x480 "$work/canvas.png" && "$@"
}
expect() {
  local what=$1
  shift
  retry at "$@" || fail "$what"
}
zero() { [ "$(convert "$@" -alpha off -format '%[max]' info:)" = 0 ]; }

pixel_is() {
  [ "$(convert "$work/canvas.png" -crop "1x1+$1+$2" -depth 8 \
    -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:)" = "$3" ]
}
# covers X Y MASK IMAGE [OPTIONS]: the opaque pixels of the image show unchanged with their
# top-left corner at canvas (X, Y); pixels in the MASK rectangle (x0,y0,x1,y1) are ignored.
covers() {
  local x=$1 y=$2 mask=$3
  shift 3
  zero "$work/canvas.png" \( +clone \( "$@" -channel A -threshold 99% +channel \) \
    -geometry "+$x+$y" -compose over -composite \) +geometry -compose difference -composite \
    -fill black -draw "rectangle $mask"
}
half=$(($(identify -format %w "$res/cursor.bmp") / 2)) # the crosshair's, centred on the mouse
# The last window record of map/fendor.tmj: 64 x 64 at (417, 58), the topmost prop there.
shattered() {
  covers 417 58 "$cursor_mask" "$res/window.bmp" &&
    ! covers 417 58 "$cursor_mask" "$res/windowclean.bmp"
}
# The canvas as at scale 1, cursor aside.
unchanged() {
  zero "$work/canvas.png" "$work/scale1.png" -compose difference -composite \
    -fill black -draw "rectangle $cursor_mask"
}
has_icon() { [[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon (64 x 64):"* ]]; }
# Moves the mouse to canvas (x, y); then the xdotool commands given.
move() {
  local x=$1 y=$2
  shift 2
  xdotool mousemove $((off_x + scale * x)) $((off_y + scale * y)) "$@"
}

# Starts the game with the extra environment entries given, and finds its window, $window,
# which it moves to the top left so that a larger window stays on the screen (no window
# manager moves it). Real X11 video; no sound card needed. Under AddressSanitizer, leak
# checking is off here: the system's D-Bus and GL libraries that SDL loads on X11 leave
# blocks behind at exit, and the game's own memory is leak-checked by the tests on the
# dummy drivers.
start() {
  env -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER SDL_AUDIODRIVER=dummy "$@" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$game" >"$work/game.log" 2>&1 &
  game_pid=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^pordeck$' | head -n 1) || true
  [ -n "$window" ] || fail "no window named pordeck"
  xdotool windowmove "$window" 0 0
}
# Asks the game to quit as the desktop's session does (SIGTERM, which SDL turns into the same
# quit request as closing the window); it exits with status 0.
close() {
  kill -TERM "$game_pid"
  wait "$game_pid" || fail "exit status $? after SIGTERM"
  game_pid=
}

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
retry test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
start
retry has_icon || fail "no window icon"
scale=1 off_x=0 off_y=0
expect "no background (102, 76, 76) at (20, 10)" pixel_is 20 10 102,76,76
expect "the last window is not clean at (417, 58)" covers 417 58 $nomask "$res/windowclean.bmp"
# Held until the game has seen it: the game reads the button once per frame.
move 449 90 mousedown 1
cursor_mask=$((449 - half)),$((90 - half)),$((449 + half)),$((90 + half))
expect "a press at (449, 90) did not shatter the window at (417, 58)" shattered
xdotool mouseup 1
cp "$work/canvas.png" "$work/scale1.png"
xdotool key F11 sleep 0.5 key F11
expect "F11 twice did not give the window its picture back" unchanged

close

start SDL_OPENGL_LIBRARY=/nonexistent
expect "no background (102, 76, 76) at (20, 10) without OpenGL" pixel_is 20 10 102,76,76
grep -qx "INFO: No accelerated renderer (Couldn't find matching render driver): using the \
software renderer" "$work/game.log" || fail "no word of the software renderer"
close

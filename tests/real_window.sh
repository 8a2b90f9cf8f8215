#!/usr/bin/env bash
# The game in a real X11 window, on a screen of its own (Xvfb) with a window manager
# (openbox), driven with xdotool and checked by screenshot (shot.sh):
#
#   real_window.sh PORDECK
#
# The window has the game's icon. At scale 1 the background and the last window of the
# level show; a press on that window shatters it. With the mouse over the background at
# (10, 344), C aims at the next thing in reading order, the topmost crate, and X cracks it.
# One F11 makes the window full screen, the playfield shown at scale 2 in the middle of the
# 1920 x 1200 screen; the next gives the window back. Asked to quit, the game exits with status 0. Last, with no window manager and no OpenGL
# library to load, the game runs on SDL's software renderer.
set -euo pipefail
game=$1
res=$(dirname "$game")/res
source "$(dirname "$0")/screen.sh"

# Starts the game with the extra environment entries given, and finds its window, $window.
# Real X11 video; no sound card needed. Under AddressSanitizer, leak checking is off here: the
# system's D-Bus and GL libraries that SDL loads on X11 leave blocks behind at exit, and the
# game's own memory is leak-checked by the tests on the dummy drivers.
start() {
  env -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER SDL_AUDIODRIVER=dummy "$@" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$game" >"$work/game.log" 2>&1 &
  game_pid=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^pordeck$' | head -n 1) || true
  [ -n "$window" ] || fail "no window named pordeck"
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
}
# Asks the game to quit as the desktop's session does (SIGTERM, which SDL turns into the same
# quit request as closing the window); it exits with status 0.
close() {
  kill -TERM "$game_pid"
  wait "$game_pid" || fail "exit status $? after SIGTERM"
  game_pid=
}
has_icon() { [[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon (64 x 64):"* ]]; }
# A window mapped while the window manager starts may never be shown: the game waits for it.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

screen
openbox >"$work/wm.log" 2>&1 &
wm=$!
retry wm_ready || fail "openbox did not start"
start
retry has_icon || fail "no window icon"
expect "no background at scale 1" 1 0 0 background 20 10
# The last window record of map/fendor.tmj: 64 x 64 at (417, 58), the topmost prop there.
expect "the last window is not clean" 1 0 0 clean 417 58
# Held until the game has seen it: the game reads the button once per frame.
xdotool mousemove --window "$window" 449 90 mousedown 1
expect "a press at (449, 90) did not shatter the window at (417, 58)" 1 0 0 shattered 417 58 449 90
xdotool mouseup 1
# The crate of map/fendor.tmj at (212, 313), 64 x 64, is the first thing whose centre comes
# after (10, 344), top to bottom, then left to right.
xdotool mousemove --window "$window" 10 344 key c x
expect "C and X did not crack the crate at (212, 313)" 1 0 0 cracked 212 313 244 345
xdotool key F11
expect "one F11 did not show the playfield full screen" 2 320 120 shattered 417 58 244 345
xdotool key F11
expect "the next F11 did not give the window back" 1 0 0 shattered 417 58 244 345
close

kill "$wm" && wait "$wm" || true
start SDL_OPENGL_LIBRARY=/nonexistent
expect "no background without OpenGL" 1 0 0 background 20 10
grep -qx "INFO: No accelerated renderer (Couldn't find matching render driver): using the \
software renderer" "$work/game.log" || fail "no word of the software renderer"
close

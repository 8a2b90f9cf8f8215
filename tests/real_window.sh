#!/usr/bin/env bash
# The game in a real X11 window, on a screen of its own (Xvfb) with a window manager
# (openbox), driven with xdotool and checked by screenshot (shot.sh):
#
#   real_window.sh PORDECK
#
# The window has the game's icon. At scale 1 the background and the last window of the
# level show; a press on that window shatters it. With the mouse over the background left of
# the topmost crate, C aims at it, the next thing in reading order, and X cracks it. One F11
# makes the window full screen, the playfield shown at scale 2 in the middle of the
# 1920 x 1200 screen; the next gives the window back. M switches the music off, and the game
# keeps that in its settings (in the scratch folder here). Asked to quit, the game exits with
# status 0. Last, with no window manager and no OpenGL library to load, the game runs on SDL's
# software renderer.
set -euo pipefail
game=$1
res=$(dirname "$game")/res
source "$(dirname "$0")/screen.sh"
export XDG_DATA_HOME=$work

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
  timeout 10 xdotool windowactivate --sync "$window" 2>/dev/null ||
    timeout 10 xdotool windowfocus --sync "$window" || fail "the window takes no focus"
}
# Asks the game to quit as the desktop's session does (SIGTERM, which SDL turns into the same
# quit request as closing the window); it exits with status 0.
close() {
  kill -TERM "$game_pid"
  retry ended || fail "the game runs on after SIGTERM"
  wait "$game_pid" || fail "exit status $? after SIGTERM"
  game_pid=
}
ended() { ! kill -0 "$game_pid" 2>/dev/null; }
has_icon() { [[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon (64 x 64):"* ]]; }
# A window mapped while the window manager starts may never be shown: the game waits for it.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

start_screen
openbox >"$work/wm.log" 2>&1 &
wm=$!
retry wm_ready || fail "openbox did not start"
start
retry has_icon || fail "no window icon"
expect_shot "no background at scale 1" 1 0 0 background 20 10
shatter_last_window 0 0 --window "$window"
# The topmost crate is the level's last. No thing's centre comes between it and the pixel at
# the left edge a row above its centre, top to bottom, then left to right.
read -r x y cx cy < <(jq -r '[.layers[].objects[]? | select(.type == "box")] | last |
  "\(.x) \(.y) \(.x + .width / 2 | floor) \(.y + .height / 2 | floor)"' "$map")
xdotool mousemove --window "$window" 10 $((cy - 1)) key c x
expect_shot "C and X did not crack the crate at ($x, $y)" 1 0 0 cracked "$x" "$y" "$cx" "$cy"
xdotool key F11
expect_shot "one F11 did not show the playfield full screen" 2 320 120 "${shattered[@]}"
xdotool key F11
expect_shot "the next F11 did not give the window back" 1 0 0 "${shattered[@]}"
xdotool key m
retry grep -sqx 'music = off' "$work/pordeck/settings.txt" || fail "M kept no music off"
close

kill "$wm" && wait "$wm" || true
start SDL_OPENGL_LIBRARY=/nonexistent
expect_shot "no background without OpenGL" 1 0 0 background 20 10
grep -qx "INFO: No accelerated renderer (Couldn't find matching render driver): using the \
software renderer" "$work/game.log" || fail "no word of the software renderer"
close

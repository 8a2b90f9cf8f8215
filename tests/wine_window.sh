#!/usr/bin/env bash
# The player's zip under Wine, in a real X11 window on a screen of its own (Xvfb):
#
#   wine_window.sh ZIP WINE          (WINE: tools/windows/wine.sh)
#
# Unzipped into an empty folder, the game opens a 640 x 480 window titled "pordeck"; a press
# on the last window of the level shatters it; a close request (Alt+F4, which Wine turns into
# WM_CLOSE) ends the game with status 0. With a sound missing, the game cannot start: it says
# so in a message box, and exits with status 1 once the box is closed; headless (SDL's dummy
# video driver) it shows no box.
set -euo pipefail
zip=$1 wine=$2
shot=$(dirname "$0")/shot.sh
work=$(mktemp -d)
trap '{ kill "${game_pid:-}" && wait "$game_pid"; } 2>/dev/null || true
  "$wine" --wait; kill ${xvfb:-} 2>/dev/null || true; wait; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  grep -v '^ALSA lib' "$work/game.log" >&2 # Wine's sound driver finding no card
  exit 1
}

# Runs a check until it passes, for at most about 30 s.
retry() {
  local deadline=$((SECONDS + 30))
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.1
  done
}

mkdir "$work/game"
unzip -q "$zip" -d "$work/game"
cp -r "$work/game" "$work/broken"
rm "$work/broken/res/piou.wav"
# Wine's server keeps the display of the program that started it: this run needs its own.
"$wine" --wait
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
retry test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

# Finds a window by its title: $window. (xdotool gives up on a window that goes as it looks,
# as Wine's own do as a program starts.)
titled() {
  window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$window" ]
}
# Starts a copy of the game on the X display, and finds its window titled $1: $window, and
# its geometry, $X, $Y, $WIDTH and $HEIGHT.
start() {
  env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER -u SDL_RENDER_DRIVER \
    "$wine" "$work/$2/pordeck.exe" >"$work/game.log" 2>&1 &
  game_pid=$!
  retry titled "$1" || fail "no window titled $1"
  eval "$(xdotool getwindowgeometry --shell "$window")"
}
# Ends the game by the xdotool command given, sent again every half second until the game
# has ended (a window that has just appeared may not take keys yet), for at most about 20 s;
# then checks the exit status, $1.
end_by() {
  local expected=$1 status=0 i
  shift
  for ((i = 0; i < 40; i++)); do
    kill -0 "$game_pid" 2>/dev/null || break
    xdotool "$@"
    sleep 0.5
  done
  kill -0 "$game_pid" 2>/dev/null && fail "the game did not end by xdotool $*"
  wait "$game_pid" || status=$?
  game_pid=
  [ "$status" = "$expected" ] || fail "exit status $status after xdotool $*"
}

SDL_VIDEODRIVER=dummy timeout 30 "$wine" "$work/broken/pordeck.exe" >"$work/game.log" 2>&1 &&
  fail "the game started without its sounds" || [ $? = 1 ] || fail "no status 1 without sounds"
start "pordeck cannot start" broken
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) # keys go where the mouse is
end_by 1 key Return

start pordeck game
[ "${WIDTH}x$HEIGHT" = 640x480 ] || fail "a window of ${WIDTH}x$HEIGHT"

# Held until the game has seen it: the game reads the button once per frame.
xdotool mousemove $((X + 449)) $((Y + 90)) mousedown 1
shattered() {
  import -silent -window "$window" "$work/shot.png" &&
    bash "$shot" "$work/shot.png" "$work/game/res" 1 0 0 shattered 417 58 449 90 2>"$work/why"
}
retry shattered || fail "a press at (449, 90) did not shatter the window at (417, 58):" \
  "$(cat "$work/why")"
xdotool mouseup 1

end_by 0 key alt+F4

#!/usr/bin/env bash
# The player's zip under Wine, in a real X11 window on a screen of its own (Xvfb):
#
#   wine_window.sh ZIP WINE          (WINE: tools/windows/wine.sh)
#
# Unzipped into an empty folder, the game opens a 640 x 480 window titled "pordeck"; a press
# on the last window of the level shatters it; a close request (Alt+F4, which Wine turns into
# WM_CLOSE) ends the game with status 0.
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

# Runs a check until it passes, for at most about 10 s.
retry() {
  local deadline=$((SECONDS + 10))
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.1
  done
}

mkdir "$work/game"
unzip -q "$zip" -d "$work/game"
# Wine's server keeps the display of the program that started it: this run needs its own.
"$wine" --wait
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
retry test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER -u SDL_RENDER_DRIVER \
  "$wine" "$work/game/pordeck.exe" >"$work/game.log" 2>&1 &
game_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^pordeck$' | head -n 1) || true
[ -n "$window" ] || fail "no window titled pordeck"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "${WIDTH}x$HEIGHT" = 640x480 ] || fail "a window of ${WIDTH}x$HEIGHT"

# Held until the game has seen it: the game reads the button once per frame.
xdotool mousemove $((X + 449)) $((Y + 90)) mousedown 1
shattered() {
  import -silent -window "$window" "$work/shot.png" &&
    "$shot" "$work/shot.png" "$work/game/res" 1 0 0 shattered 417 58 449 90 2>"$work/why"
}
retry shattered || fail "a press at (449, 90) did not shatter the window at (417, 58):" \
  "$(cat "$work/why")"
xdotool mouseup 1

xdotool key alt+F4
status=0
timeout 20 tail --pid="$game_pid" -f /dev/null || fail "the game did not end on Alt+F4"
wait "$game_pid" || status=$?
game_pid=
[ "$status" = 0 ] || fail "exit status $status after Alt+F4"

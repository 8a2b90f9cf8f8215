# screen.sh -- sourced by the tests of the game in a real X11 window: a scratch folder, $work,
# with the game's output in $work/game.log; checks run until they pass; screenshots of the
# game's window checked by shot.sh; a screen of its own; and the level's last window
# shattered. The sourcing script sets $res (the generated images) and $game_pid, the game's
# process, and may name in $before_x_ends a command that must run between the game's end and
# its X server's.
work=$(mktemp -d)
shot=$(dirname "${BASH_SOURCE[0]}")/shot.sh
map=$(dirname "${BASH_SOURCE[0]}")/../map/fendor.tmj
# The game goes before its X server: one that loses its display while it quits may never end.
# Killed outright: a game that hangs must not hang the test.
trap '{ kill -KILL "${game_pid:-}" && wait "$game_pid"; } 2>/dev/null || true; ${before_x_ends:-}
  kill ${xvfb:-} 2>/dev/null || true; wait; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  grep -sv '^ALSA lib' "$work/game.log" >&2 # but a sound driver that finds no card, as Wine's
  exit 1
}

# Runs a check until it passes, for at most $patience seconds (10 by default).
retry() {
  local deadline=$((SECONDS + ${patience:-10}))
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.05
  done
}

# shot_at SCALE LEFT TOP CHECK...: grabs $window and runs a check of shot.sh on it, the
# playfield shown at SCALE from (LEFT, TOP); expect_shot WHAT SCALE LEFT TOP CHECK... runs it
# until it passes.
shot_at() {
  timeout 20 import -silent -window "$window" "$work/shot.png" &&
    bash "$shot" "$work/shot.png" "$res" "$@" 2>"$work/why"
}
expect_shot() {
  local what=$1
  shift
  retry shot_at "$@" || fail "$what: $(cat "$work/why")"
}

# Expects the level's last window (the topmost prop where it lies, from the map the game is
# built from) clean, presses it, holding the button until the game has seen it (it reads the
# button once a frame), and expects it shattered: $shattered is then that check. The canvas's
# top-left corner is at (LEFT, TOP) for `xdotool mousemove ARGS...`.
#   shatter_last_window LEFT TOP ARGS...
shatter_last_window() {
  local left=$1 top=$2 x y aim_x aim_y
  shift 2
  read -r x y aim_x aim_y < <(jq -r '[.layers[].objects[]? | select(.type == "window")] | last |
    "\(.x) \(.y) \(.x + .width / 2 | floor) \(.y + .height / 2 | floor)"' "$map")
  shattered=(shattered "$x" "$y" "$aim_x" "$aim_y")
  expect_shot "the last window is not clean" 1 0 0 clean "$x" "$y"
  xdotool mousemove "$@" $((left + aim_x)) $((top + aim_y)) mousedown 1
  expect_shot "a press at ($aim_x, $aim_y) did not shatter the window at ($x, $y)" 1 0 0 \
    "${shattered[@]}"
  xdotool mouseup 1
}

# Starts a screen of its own, 1920 x 1200, that lives on when its last client leaves: $DISPLAY.
start_screen() {
  Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb=$!
  retry test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(cat "$work/display")"
}

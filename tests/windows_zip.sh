#!/usr/bin/env bash
# The player's zip, unzipped into an empty folder:
#
#   windows_zip.sh ZIP VERSION RES WINE          (WINE: tools/windows/wine.sh)
#
# It holds the game, SDL's two DLLs, the read-me, the three licences, and res/ as the build
# made it (RES); pordeck.exe is a GUI program (no console window opens) with its icon at every
# size from 16 to 256 pixels and VERSION as its file and product version. Under Wine, in a
# real X11 window on a screen of its own (Xvfb), the game opens a 640 x 480 window titled
# "pordeck"; the last window of the level shows clean and a press shatters it; a close request
# (Alt+F4, which Wine turns into WM_CLOSE) ends it with status 0. Without one of its sounds it cannot
# start: it says so in a message box and exits with status 1 once the box is closed, and
# headless (SDL's dummy video driver) it shows no box.
set -euo pipefail
zip=$1 version=$2 res=$3 wine=$4
source "$(dirname "$0")/screen.sh"
game=$work/game
patience=30 # Wine starts slowly
before_x_ends="$wine --wait" # Wine's server keeps the display of the program that started it

unzip -q "$zip" -d "$game"
for file in pordeck.exe SDL2.dll SDL2_mixer.dll README.txt LICENSE{,-SDL2,-SDL2_mixer}.txt; do
  [ -f "$game/$file" ] || fail "no $file"
done
diff -r "$res" "$game/res" >&2 || fail "res/ differs from the build's"
x86_64-w64-mingw32-objdump -p "$game/pordeck.exe" | grep '^Subsystem.*(Windows GUI)$' >/dev/null ||
  fail "pordeck.exe is not a GUI program"
wrestool -x --type=14 "$game/pordeck.exe" >"$work/icon.ico"
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | xargs)
[ "$sizes" = "16 32 48 64 128 256" ] || fail "icon sizes: '$sizes'"
info=$(wrestool -x --raw --type=16 "$game/pordeck.exe" | strings -el | xargs)
[[ $info == *" FileVersion $version "*" ProductVersion $version "* ]] || fail "version: $info"

# Finds a window by its title: $window. (xdotool gives up on a window that goes as it looks,
# as Wine's own do as a program starts.)
titled() {
  window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$window" ]
}
# Starts the game in the folder $2 on the X display, and finds its window titled $1: $window,
# and its geometry, $X, $Y, $WIDTH and $HEIGHT.
start() {
  env -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER -u SDL_RENDER_DRIVER \
    "$wine" "$2/pordeck.exe" >"$work/game.log" 2>&1 &
  game_pid=$!
  retry titled "$1" || fail "no window titled $1"
  eval "$(xdotool getwindowgeometry --shell "$window")"
}
# Sends the xdotool command given every half second until the game ends (a window that has
# just appeared may not take keys yet); then checks the exit status, $1.
end_by() {
  local expected=$1 status=0
  shift
  while kill -0 "$game_pid" 2>/dev/null; do xdotool "$@" || :; sleep 0.5; done
  wait "$game_pid" || status=$?
  game_pid=
  [ "$status" = "$expected" ] || fail "exit status $status after xdotool $*"
}

cp -r "$game" "$work/broken" && rm "$work/broken/res/piou.wav"
"$wine" --wait # this run's server needs the display of its own
start_screen

SDL_VIDEODRIVER=dummy timeout 30 "$wine" "$work/broken/pordeck.exe" >"$work/game.log" 2>&1 &&
  fail "the game started without its sounds" || [ $? = 1 ] || fail "no status 1 without sounds"
start "pordeck cannot start" "$work/broken"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) # keys go where the mouse is
end_by 1 key Return

start pordeck "$game"
[ "${WIDTH}x$HEIGHT" = 640x480 ] || fail "a window of ${WIDTH}x$HEIGHT"
shatter_last_window "$X" "$Y"
end_by 0 key alt+F4

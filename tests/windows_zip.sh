#!/usr/bin/env bash
# What the player's zip holds, as Windows will see it:
#
#   windows_zip.sh ZIP VERSION RES
#
# the game, SDL's two DLLs, the read-me and the three licences, and res/ as the build made
# it; pordeck.exe is a GUI program (no console window opens), with the icon at every size
# from 16 to 256 pixels and VERSION as its file and product version.
set -euo pipefail
zip=$1 version=$2 res=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

unzip -q "$zip" -d "$work"
for file in pordeck.exe SDL2.dll SDL2_mixer.dll README.txt LICENSE.txt LICENSE-SDL2.txt \
  LICENSE-SDL2_mixer.txt; do
  [ -f "$work/$file" ] || fail "no $file"
done
diff -r "$res" "$work/res" >&2 || fail "res/ differs from the build's"
x86_64-w64-mingw32-objdump -p "$work/pordeck.exe" | grep '^Subsystem.*(Windows GUI)$' >/dev/null ||
  fail "pordeck.exe is not a GUI program"
wrestool -x --type=14 "$work/pordeck.exe" >"$work/icon.ico"
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | xargs)
[ "$sizes" = "16 32 48 64 128 256" ] || fail "icon sizes: '$sizes'"
info=$(wrestool -x --raw --type=16 "$work/pordeck.exe" | strings -el | xargs)
for field in FileVersion ProductVersion; do
  [[ " $info " == *" $field $version "* ]] || fail "no $field $version in: $info"
done

#!/usr/bin/env bash
# The Debian package built from this build tree: its files under /usr, a desktop entry that
# validates, dependencies on the SDL2 libraries, and a game that starts from the unpacked
# tree, finds its assets beside itself and quits cleanly on SIGINT.
#
#   package.sh BUILD_DIR        (on SDL's dummy drivers)
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(echo "$work"/pordeck_*.deb)
[ -f "$deb" ] || fail "no pordeck_*.deb in $(ls "$work")"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
  [[ $depends =~ (^|, )$library( |,|$) ]] || fail "Depends: $depends -- no $library"
done

dpkg -x "$deb" "$work/root"
usr=$work/root/usr
files=$(cd "$work/root" && find . ! -type d ! -path ./usr/lib/pordeck/res/\* | sort)
[ "$files" = "./usr/bin/pordeck
./usr/lib/pordeck/pordeck
./usr/share/applications/pordeck.desktop
./usr/share/icons/hicolor/scalable/apps/pordeck.svg" ] || fail "files: $files"
[ "$(readlink "$usr/bin/pordeck")" = ../lib/pordeck/pordeck ] || fail "bin/pordeck is no link"
diff -r "$build/res" "$usr/lib/pordeck/res" || fail "res/ differs from the build's"
desktop-file-validate "$usr/share/applications/pordeck.desktop" || fail "desktop entry"

# SIGINT after a second; a shell may have left SIGINT ignored, which SDL would respect.
timeout --preserve-status -s INT -k 10 1 env --default-signal=INT "$usr/bin/pordeck" \
  >"$work/game.log" 2>&1 || fail "exit status $? on SIGINT: $(cat "$work/game.log")"
! grep 'res/' "$work/game.log" || fail "the game did not find its assets"

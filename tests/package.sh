#!/usr/bin/env bash
# The Debian package built from this build tree: its files where Debian keeps a game's, with
# a desktop entry, AppStream metadata and a copyright file that validate and a manual page;
# dependencies on the SDL2 libraries and the map reader's zlib and libzstd; nothing for lintian to report. The game answers --help
# and --version, refuses an unknown option, and starts from the unpacked tree, finds its data
# through its res/ link and quits cleanly on SIGINT.
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

# Every tool the checks use, with the Debian package that brings it.
for tool in cpack:cmake dpkg-deb:dpkg desktop-file-validate:desktop-file-utils \
  appstreamcli:appstream man:man-db lintian:lintian; do
  command -v "${tool%%:*}" >/dev/null || fail "${tool%%:*} is missing (Debian package ${tool#*:})"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
# The version, written once in CMakeLists.txt, names the package and is its version, the
# game's, the changelog's latest and the AppStream metadata's latest release.
version=$("$(dirname "$0")/../tools/version.sh")
deb=$work/pordeck_${version}_amd64.deb
[ -f "$deb" ] || fail "no pordeck_${version}_amd64.deb in $(ls "$work")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 zlib1g libzstd1; do
  [[ $depends =~ (^|, )$library( |,|$) ]] || fail "Depends: $depends -- no $library"
done

dpkg -x "$deb" "$work/root"
usr=$work/root/usr
# The files, by their paths with icon sizes as NxN, each with its count.
files=$(cd "$work/root" && find . ! -type d ! -path ./usr/share/games/pordeck/res/\* |
  sed 's/[0-9]\+x[0-9]\+/NxN/' | sort | uniq -c | xargs)
[ "$files" = "$(echo "1 ./usr/games/pordeck" "1 ./usr/lib/games/pordeck/"{pordeck,res} \
  "1 ./usr/share/"{applications/pordeck.desktop,doc/pordeck/changelog.gz,doc/pordeck/copyright} \
  "6 ./usr/share/icons/hicolor/NxN/apps/pordeck.png 1 ./usr/share/icons/hicolor/scalable/apps/pordeck.svg" \
  "1 ./usr/share/"{lintian/overrides/pordeck,man/man6/pordeck.6.gz,metainfo/org.example.pordeck.metainfo.xml})" ] ||
  fail "files: $files"
[ "$(readlink "$usr/games/pordeck")" = ../lib/games/pordeck/pordeck ] || fail "games/pordeck"
diff -r "$build/res" "$usr/lib/games/pordeck/res/" || fail "res/ differs from the build's"
desktop-file-validate "$usr/share/applications/pordeck.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$usr"/share/metainfo/*.xml >"$work/out" || fail "$(cat "$work/out")"
releases=$(grep -o '<release version="[^"]*"' "$usr"/share/metainfo/*.xml | head -n 1)
[ "$releases" = "<release version=\"$version\"" ] || fail "AppStream's latest: $releases"
zcat "$usr/share/doc/pordeck/changelog.gz" | head -n 1 | grep -q "^pordeck ($version) " ||
  fail "the changelog's latest: $(zcat "$usr/share/doc/pordeck/changelog.gz" | head -n 1)"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$usr/share/doc/pordeck/copyright" || fail "the copyright file is not machine-readable"
man -l "$usr/share/man/man6/pordeck.6.gz" 2>&1 | grep -q '^OPTIONS' || fail "man page"
# lintian exits non-zero on a finding: its report is the message.
lintian -EvIL +pedantic "$deb" >"$work/out" 2>"$work/err" || true
[ ! -s "$work/out" ] || fail "lintian: $(cat "$work/out" "$work/err")"

game=$usr/games/pordeck
# The command line: help and version on standard output, an unknown option refused with the
# usage on standard error; none of them starts the game, which would run until timeout.
# answers OPTION STATUS FIRST-LINE-OF-STDOUT STDERR
answers() {
  local status=0
  timeout 10 "$game" "$1" >"$work/out" 2>"$work/err" || status=$?
  [ "$status|$(head -n 1 "$work/out")|$(cat "$work/err")" = "$2|$3|$4" ] ||
    fail "$1: status $status, stdout: $(cat "$work/out"), stderr: $(cat "$work/err")"
}
usage='Usage: pordeck [--help | --version | --level FILE]'
answers --help 0 "$usage" ""
answers --version 0 "pordeck $version" ""
answers --bogus 2 "" "pordeck: unknown option '--bogus'
$usage"

# SIGINT after a second; a shell may have left SIGINT ignored, which SDL would respect.
timeout --preserve-status -s INT -k 10 1 env --default-signal=INT "$game" \
  >"$work/game.log" 2>&1 || fail "exit status $? on SIGINT: $(cat "$work/game.log")"
! grep 'res/' "$work/game.log" || fail "the game did not find its assets"

#!/usr/bin/env bash
# Prints the install prefix of SDL2 and SDL2_mixer built for the browser, building them first
# when the cache has none. They are built with Debian's emscripten from Debian's own source
# packages, as static libraries, the way tools/debsrc.sh builds them for every platform; SDL2
# draws without OpenGL, with sdl2.patch (beside this script) applied. The cache lives outside
# the clone, in ${XDG_CACHE_HOME:-~/.cache}/pordeck/web-sdl/, so every clone reuses it. Run by
# build.sh, in whose environment emscripten finds what it needs (NODE_PATH).
#
# Progress goes to stderr; stdout gets the prefix alone.
set -euo pipefail
exec 3>&1 1>&2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../debsrc.sh"

# The page has the game draw with SDL's software renderer: no OpenGL ES (WebGL) in it.
build() {
  patch -d libsdl2 -p1 <"$here/sdl2.patch"
  debsrc_sdl_install "$1" static emcmake cmake -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF
}

emcc_version=$(emcc --version | sed -n '1s/.* \([0-9][0-9.]*\).*/\1/p')
debsrc_sdl web-sdl "emcc-$emcc_version" build "$0" "$here/sdl2.patch"
echo "$debsrc_prefix" >&3

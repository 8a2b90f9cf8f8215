#!/usr/bin/env bash
# Prints the install prefix of SDL2 and SDL2_mixer built for 64-bit Windows, building them
# first when the cache has none. They are built with Debian's MinGW-w64 cross compiler
# (tools/windows/mingw.cmake) from Debian's own source packages, as DLLs, the way
# tools/debsrc.sh builds them for every platform. The cache lives outside the clone, in
# ${XDG_CACHE_HOME:-~/.cache}/pordeck/windows-sdl/, so every clone reuses it. Each library's
# licence text is in share/licenses/.
#
# Progress goes to stderr; stdout gets the prefix alone.
set -euo pipefail
exec 3>&1 1>&2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../debsrc.sh"

build() {
  debsrc_sdl_install "$1" shared cmake -DCMAKE_TOOLCHAIN_FILE="$here/mingw.cmake"
}

gcc_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)
debsrc_sdl windows-sdl "mingw-gcc-$gcc_version" build "$0" "$here/mingw.cmake"
echo "$debsrc_prefix" >&3

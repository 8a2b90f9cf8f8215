#!/usr/bin/env bash
# Prints the install prefix of SDL2 and SDL2_mixer built for 64-bit Windows, building them
# first when the cache has none. They are built with Debian's MinGW-w64 cross compiler
# (tools/windows/mingw.cmake) from Debian's own source packages, as DLLs; SDL2_mixer plays
# WAV and FLAC (through its built-in dr_flac) and nothing else. The cache lives outside the
# clone, in ${XDG_CACHE_HOME:-~/.cache}/pordeck/windows-sdl/, one directory per combination
# of the two source versions, the compiler's version and the scripts that build them, so
# every clone reuses it. Each library's licence text is in share/licenses/.
#
# Progress goes to stderr; stdout gets the prefix alone.
set -euo pipefail
exec 3>&1 1>&2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../debsrc.sh"

sdl_version=$(debsrc_version libsdl2)
mixer_version=$(debsrc_version libsdl2-mixer)
gcc_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)
script_hash=$(cat "$0" "$here/../debsrc.sh" "$here/mingw.cmake" | sha256sum | cut -c1-12)
key="sdl2-${sdl_version}_mixer-${mixer_version}_mingw-gcc-${gcc_version}_${script_hash}"
prefix=${XDG_CACHE_HOME:-$HOME/.cache}/pordeck/windows-sdl/$key
if [ -f "$prefix/done" ]; then
  echo "$prefix" >&3
  exit 0
fi

echo "Building SDL2 $sdl_version and SDL2_mixer $mixer_version for Windows into $prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
debsrc_unpack "$work" "libsdl2=$sdl_version" "libsdl2-mixer=$mixer_version"

staging=$prefix.partial
rm -rf "$staging"
common=(-DCMAKE_TOOLCHAIN_FILE="$here/mingw.cmake" -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$staging")
# Keyboard, mouse, video and audio: the game uses nothing else.
cmake -S libsdl2 -B sdl2-build "${common[@]}" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF \
  -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_HIDAPI=OFF
cmake --build sdl2-build -j"$(nproc)"
cmake --install sdl2-build
cmake -S libsdl2-mixer -B mixer-build "${common[@]}" -DSDL2_DIR="$staging/lib/cmake/SDL2" \
  -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
  -DSDL2MIXER_CMD=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_FLAC=ON -DSDL2MIXER_FLAC_LIBFLAC=OFF \
  -DSDL2MIXER_FLAC_DRFLAC=ON -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
  -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF
cmake --build mixer-build -j"$(nproc)"
cmake --install mixer-build
touch "$staging/done"
rm -rf "$prefix"
mv "$staging" "$prefix"
echo "$prefix" >&3

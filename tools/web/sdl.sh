#!/usr/bin/env bash
# Prints the install prefix of SDL2 and SDL2_mixer built for the browser, building them first
# when the cache has none. They are built with Debian's emscripten from Debian's own source
# packages, as static libraries; SDL2 draws without OpenGL, with sdl2.patch (beside this script)
# applied, and SDL2_mixer plays WAV and FLAC (through its built-in dr_flac) and nothing else.
# The cache lives outside the clone, in ${XDG_CACHE_HOME:-~/.cache}/pordeck/web-sdl/, one
# directory per combination of the two source versions, the emscripten version, this script
# and the patch, so every clone reuses it.
#
# Progress goes to stderr; stdout gets the prefix alone.
set -euo pipefail
exec 3>&1 1>&2

source "$(dirname "$0")/../debsrc.sh"
sdl_version=$(debsrc_version libsdl2)
mixer_version=$(debsrc_version libsdl2-mixer)
emcc_version=$(emcc --version | sed -n '1s/.* \([0-9][0-9.]*\).*/\1/p')
patch=$(cd "$(dirname "$0")" && pwd)/sdl2.patch
script_hash=$(cat "$0" "$(dirname "$0")/../debsrc.sh" "$patch" | sha256sum | cut -c1-12)
key="sdl2-${sdl_version}_mixer-${mixer_version}_emcc-${emcc_version}_${script_hash}"
prefix=${XDG_CACHE_HOME:-$HOME/.cache}/pordeck/web-sdl/$key
if [ -f "$prefix/done" ]; then
  echo "$prefix" >&3
  exit 0
fi

echo "Building SDL2 $sdl_version and SDL2_mixer $mixer_version for the browser into $prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
debsrc_unpack "$work" "libsdl2=$sdl_version" "libsdl2-mixer=$mixer_version"
patch -d libsdl2 -p1 <"$patch"

# The JavaScript optimiser needs acorn, which Debian keeps outside a foreign node's path.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
staging=$prefix.partial
rm -rf "$staging"
# The page has the game draw with SDL's software renderer: no OpenGL ES (WebGL) in it. No path
# of this temporary directory is left in the code either, so that every machine builds the
# same bytes.
export CFLAGS="-ffile-prefix-map=$work=."
emcmake cmake -S libsdl2 -B sdl2-build -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$staging" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_HIDAPI=OFF \
  -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF
cmake --build sdl2-build -j"$(nproc)"
cmake --install sdl2-build
emcmake cmake -S libsdl2-mixer -B mixer-build -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$staging" -DSDL2_DIR="$staging/lib/cmake/SDL2" \
  -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
  -DSDL2MIXER_CMD=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_FLAC=ON -DSDL2MIXER_FLAC_LIBFLAC=OFF \
  -DSDL2MIXER_FLAC_DRFLAC=ON -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
  -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF
cmake --build mixer-build -j"$(nproc)"
cmake --install mixer-build
touch "$staging/done"
rm -rf "$prefix"
mv "$staging" "$prefix"
echo "$prefix" >&3

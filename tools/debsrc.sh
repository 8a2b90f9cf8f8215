# debsrc.sh -- Debian's own source packages, for the builds that make their own copy of a
# library (the browser's and Windows' SDL2 and SDL2_mixer). Sourced by those scripts:
#
#   debsrc_version PACKAGE         prints the newest version of the source package apt knows;
#                                  where apt knows no source at all, it first adds deb-src
#                                  entries that mirror the machine's deb entries
#   debsrc_unpack DIR PACKAGE=VERSION...
#                                  fetches those sources with apt-get and unpacks each, with
#                                  Debian's patches applied, into DIR/PACKAGE
#   debsrc_sdl CACHE TAG BUILD FILE...
#                                  sets debsrc_prefix to SDL2 and SDL2_mixer installed from the
#                                  newest sources, in ${XDG_CACHE_HOME:-~/.cache}/pordeck/CACHE/,
#                                  one directory per pair of versions, TAG (the compiler's) and
#                                  the FILEs that make it (this one and reproducible.cmake always
#                                  among them). A cache
#                                  without it unpacks both into a temporary directory WORK and
#                                  runs BUILD STAGING WORK there (in a subshell: the caller's
#                                  folder and traps stay as they were), which installs them in
#                                  STAGING; one build at a time per cache
#   debsrc_sdl_install STAGING LINK CONFIGURE...
#                                  builds the unpacked SDL2, then SDL2_mixer with WAV and FLAC
#                                  (its built-in dr_flac) alone, and installs both into STAGING:
#                                  LINK is "shared" or "static", CONFIGURE the CMake command with
#                                  what both take; the folders' paths are kept out of them as out
#                                  of the game (reproducible.cmake, beside this file)

debsrc_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
debsrc_sudo=()
[ "$(id -u)" -ne 0 ] && debsrc_sudo=(sudo)

debsrc_newest() {
  apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1
}

debsrc_add_entries() {
  local list=/etc/apt/sources.list.d
  if [ -f $list/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' $list/debian.sources |
      "${debsrc_sudo[@]}" tee $list/pordeck-deb-src.sources >/dev/null
  fi
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${debsrc_sudo[@]}" tee $list/pordeck-deb-src.list >/dev/null
  fi
  "${debsrc_sudo[@]}" apt-get -o DPkg::Lock::Timeout=1200 update -q
}

debsrc_version() {
  local version
  version=$(debsrc_newest "$1")
  if [ -z "$version" ]; then
    debsrc_add_entries >&2
    version=$(debsrc_newest "$1")
  fi
  [ -n "$version" ] || {
    echo "no source package for $1" >&2
    return 1
  }
  echo "$version"
}

debsrc_unpack() {
  local dir=$1 wanted version
  shift
  (cd "$dir" && apt-get source -q --download-only "$@") >&2
  for wanted in "$@"; do
    version=${wanted#*=}
    dpkg-source -x "$dir/${wanted%%=*}_${version#*:}.dsc" "$dir/${wanted%%=*}" >/dev/null
  done
}

# Keyboard, mouse, gamepads (SDL's joystick and game controller API), video and audio: the
# game uses nothing else of SDL.
debsrc_sdl_options=(-DSDL_TEST=OFF -DSDL_JOYSTICK=ON -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF
  -DSDL_POWER=OFF -DSDL_HIDAPI=OFF)
debsrc_mixer_options=(-DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF
  -DSDL2MIXER_WAVE=ON -DSDL2MIXER_FLAC=ON -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_FLAC_DRFLAC=ON
  -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF
  -DSDL2MIXER_VORBIS=OFF)

debsrc_sdl_install() {
  local staging=$1 shared=OFF static=ON
  [ "$2" = shared ] && shared=ON static=OFF
  shift 2
  local common=(--no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$staging"
    -DCMAKE_PROJECT_INCLUDE="$debsrc_dir/reproducible.cmake")
  "$@" -S libsdl2 -B sdl2-build "${common[@]}" -DSDL_SHARED=$shared \
    -DSDL_STATIC=$static "${debsrc_sdl_options[@]}"
  cmake --build sdl2-build -j"$(nproc)"
  cmake --install sdl2-build
  "$@" -S libsdl2-mixer -B mixer-build "${common[@]}" -DBUILD_SHARED_LIBS=$shared \
    -DSDL2_DIR="$staging/lib/cmake/SDL2" "${debsrc_mixer_options[@]}"
  cmake --build mixer-build -j"$(nproc)"
  cmake --install mixer-build
}

debsrc_sdl() {
  local cache=$1 tag=$2 build=$3 sdl mixer hash
  shift 3
  sdl=$(debsrc_version libsdl2)
  mixer=$(debsrc_version libsdl2-mixer)
  hash=$(cat "${BASH_SOURCE[0]}" "$debsrc_dir/reproducible.cmake" "$@" | sha256sum | cut -c1-12)
  debsrc_prefix=${XDG_CACHE_HOME:-$HOME/.cache}/pordeck/$cache
  mkdir -p "$debsrc_prefix"
  debsrc_prefix+=/sdl2-${sdl}_mixer-${mixer}_${tag}_$hash
  # One build at a time fills a cache: a second waits for the first and then finds its copy.
  (
    flock 9
    [ -f "$debsrc_prefix/done" ] && exit 0
    echo "Building SDL2 $sdl and SDL2_mixer $mixer into $debsrc_prefix" >&2
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cd "$work"
    debsrc_unpack "$work" "libsdl2=$sdl" "libsdl2-mixer=$mixer"
    rm -rf "$debsrc_prefix.partial"
    "$build" "$debsrc_prefix.partial" "$work"
    touch "$debsrc_prefix.partial/done"
    rm -rf "$debsrc_prefix"
    mv "$debsrc_prefix.partial" "$debsrc_prefix"
  ) 9>"$(dirname "$debsrc_prefix")/.lock"
}

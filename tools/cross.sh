# cross.sh -- what the browser and Windows builds share; sourced by their build.sh:
#
#   cross_build BUILD_DIR SDL_SCRIPT CONFIGURE... [-- BUILD_OPTIONS...]
#
# builds the native level and asset generators, into $PORDECK_HOST_TOOLS (BUILD_DIR/host by
# default; a caller that builds for both platforms names one folder for both, built once);
# takes SDL2 and SDL2_mixer from SDL_SCRIPT, which prints their prefix (building them into its
# cache when it has none); configures BUILD_DIR with CONFIGURE, the platform's CMake command and
# its options, as a Release build without Debian's hardening flags (they are for its native
# programs); and builds it with BUILD_OPTIONS (a target, say).

cross_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

cross_build() {
  local build_dir=$1 sdl_script=$2 configure=() sdl host
  shift 2
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    configure+=("$1")
    shift
  done
  shift $(($# > 0))
  sdl=$("$sdl_script")
  host=$(realpath -m "${PORDECK_HOST_TOOLS:-$build_dir/host}")
  cmake -S "$cross_source" -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORDECK_TESTS=OFF
  cmake --build "$host" --target lvgen assetgen -j"$(nproc)"
  "${configure[@]}" -S "$cross_source" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
    -DPORDECK_HARDENING=OFF -DPORDECK_HOST_TOOLS="$host" \
    -DSDL2_DIR="$sdl/lib/cmake/SDL2" -DSDL2_mixer_DIR="$sdl/lib/cmake/SDL2_mixer"
  cmake --build "$build_dir" -j"$(nproc)" "$@"
}

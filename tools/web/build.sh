#!/usr/bin/env bash
# Builds the game for the browser with Debian's emscripten:
#
#   tools/web/build.sh [BUILD_DIR]      (build-web by default)
#
# BUILD_DIR/host gets the native level and asset generators, SDL2 and SDL2_mixer come from
# the cache of tools/web/sdl.sh, and BUILD_DIR/site gets the site, ready to be served as it is:
# the page (index.html, page.js), the game (pordeck.js, .wasm, .data), the web app manifest,
# its icons and the service worker.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath -m "${1:-build-web}")
jobs=$(nproc)

sdl=$("$source_dir/tools/web/sdl.sh")

cmake -S "$source_dir" -B "$build_dir/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORDECK_TESTS=OFF
cmake --build "$build_dir/host" --target lvgen assetgen -j"$jobs"

# Debian's hardening flags are for its native compilers; the browser's wasm has no use for them.
emcmake cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DPORDECK_TESTS=OFF \
  -DPORDECK_HARDENING=OFF \
  -DPORDECK_HOST_TOOLS="$build_dir/host" \
  -DSDL2_DIR="$sdl/lib/cmake/SDL2" -DSDL2_mixer_DIR="$sdl/lib/cmake/SDL2_mixer"
cmake --build "$build_dir" --target web_site -j"$jobs"

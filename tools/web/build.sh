#!/usr/bin/env bash
# Builds the game for the browser with Debian's emscripten:
#
#   tools/web/build.sh [BUILD_DIR]      (build-web by default)
#
# The native level and asset generators and the build itself as tools/cross.sh makes them for
# every platform, SDL2 and SDL2_mixer from the cache of tools/web/sdl.sh; BUILD_DIR/site gets
# the site, ready to be served as it is: the page (index.html, page.js), the game (pordeck.js,
# .wasm, .data), the web app manifest, its icons and the service worker.
set -euo pipefail
source "$(dirname "$0")/../cross.sh"

# emscripten's JavaScript optimiser needs acorn, which Debian keeps outside the module path of
# a node that is not Debian's own: for SDL's build and the game's link alike.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cross_build "$(realpath -m "${1:-build-web}")" "$cross_source/tools/web/sdl.sh" \
  emcmake cmake -DPORDECK_TESTS=OFF -- --target web_site

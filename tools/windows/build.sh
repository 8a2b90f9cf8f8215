#!/usr/bin/env bash
# Builds the game for 64-bit Windows with Debian's MinGW-w64 cross compiler:
#
#   tools/windows/build.sh [BUILD_DIR [CMAKE_OPTIONS...]]      (build-windows by default)
#
# The native level and asset generators and the build itself as tools/cross.sh makes them for
# every platform, SDL2 and SDL2_mixer from the cache of tools/windows/sdl.sh; BUILD_DIR gets the
# player's zip, pordeck-<version>-windows-x86_64.zip (and, with -DPORDECK_TESTS=ON, the tests,
# which `ctest --test-dir BUILD_DIR` runs under Wine).
set -euo pipefail
source "$(dirname "$0")/../cross.sh"

build_dir=$(realpath -m "${1:-build-windows}")
shift $(($# > 0))
cross_build "$build_dir" "$cross_source/tools/windows/sdl.sh" \
  cmake --toolchain "$cross_source/tools/windows/mingw.cmake" "$@"

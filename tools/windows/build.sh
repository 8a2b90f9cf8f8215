#!/usr/bin/env bash
# Builds the game for 64-bit Windows with Debian's MinGW-w64 cross compiler:
#
#   tools/windows/build.sh [BUILD_DIR [CMAKE_OPTIONS...]]      (build-windows by default)
#
# BUILD_DIR/host gets the native level and asset generators, SDL2 and SDL2_mixer come from
# the cache of tools/windows/sdl.sh, and BUILD_DIR gets the player's zip,
# pordeck-<version>-windows-x86_64.zip (and, with -DPORDECK_TESTS=ON, the tests, which
# `ctest --test-dir BUILD_DIR` runs under Wine).
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath -m "${1:-build-windows}")
shift $(($# > 0))
jobs=$(nproc)

sdl=$("$source_dir/tools/windows/sdl.sh")

cmake -S "$source_dir" -B "$build_dir/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORDECK_TESTS=OFF
cmake --build "$build_dir/host" --target lvgen assetgen -j"$jobs"

# Debian's hardening flags are for its native ELF programs.
cmake -S "$source_dir" -B "$build_dir" --toolchain "$source_dir/tools/windows/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DPORDECK_HARDENING=OFF -DPORDECK_HOST_TOOLS="$build_dir/host" \
  -DSDL2_DIR="$sdl/lib/cmake/SDL2" -DSDL2_mixer_DIR="$sdl/lib/cmake/SDL2_mixer" "$@"
cmake --build "$build_dir" -j"$jobs"

#!/usr/bin/env bash
# Prints pordeck's version, as the CMake project declares it: the one place it is written.
# Fails, saying so, where project() no longer has the shape this reads.
set -euo pipefail
cmake_lists=$(dirname "$0")/../CMakeLists.txt
version=$(sed -n 's/^project(pordeck VERSION \([0-9][0-9.]*\) .*/\1/p' "$cmake_lists")
[ -n "$version" ] || {
  echo "version.sh: no 'project(pordeck VERSION x.y.z ...)' in $cmake_lists" >&2
  exit 1
}
echo "$version"

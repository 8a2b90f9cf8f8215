#!/usr/bin/env bash
# Prints pordeck's version, as the CMake project declares it: the one place it is written.
sed -n 's/^project(pordeck VERSION \([0-9][0-9.]*\) .*/\1/p' "$(dirname "$0")/../CMakeLists.txt"

#!/usr/bin/env bash
# Builds the downloads of the source tree it sits in, so that anyone who builds the same
# commit gets the same bytes:
#
#   tools/downloads.sh OUT [PART...]
#
# PART is deb, web, windows or source (all four by default); each is built in OUT/build-PART
# and written to OUT:
#   deb      pordeck_<version>_amd64.deb, the Debian package
#   web      pordeck-<version>-web.zip, the browser build's site, index.html at its root
#   windows  pordeck-<version>-windows-x86_64.zip, the game for 64-bit Windows
#   source   pordeck-<version>.tar.gz, `git archive` of the commit checked out
#
# Every time stamp is SOURCE_DATE_EPOCH, the commit's time unless it is set; the build paths
# are mapped out of the binaries (CMakeLists.txt), and archive members go in a fixed order
# with fixed owners and modes.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
shift
parts=("$@")
[ $# -gt 0 ] || parts=(deb web windows source)
version=$("$source_dir/tools/version.sh")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8
umask 022
mkdir -p "$out"
# The browser and Windows builds share one native build of the generators (tools/cross.sh).
export PORDECK_HOST_TOOLS=$out/build-host

for part in "${parts[@]}"; do
  build=$out/build-$part
  case $part in
  deb)
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORDECK_TESTS=OFF
    cmake --build "$build" -j"$(nproc)"
    (cd "$build" && cpack -G DEB)
    cp "$build/pordeck_${version}_amd64.deb" "$out/"
    ;;
  web)
    "$source_dir/tools/web/build.sh" "$build"
    "$source_dir/tools/zipdir.sh" "$build/site" "$out/pordeck-$version-web.zip"
    ;;
  windows)
    "$source_dir/tools/windows/build.sh" "$build" -DPORDECK_TESTS=OFF
    cp "$build/pordeck-$version-windows-x86_64.zip" "$out/"
    ;;
  source)
    git -C "$source_dir" archive --format=tar.gz --prefix="pordeck-$version/" \
      -o "$out/pordeck-$version.tar.gz" HEAD
    ;;
  *)
    echo "downloads.sh: unknown part '$part'" >&2
    exit 2
    ;;
  esac
done

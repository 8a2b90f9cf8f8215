#!/usr/bin/env bash
# The release's downloads are the same bytes wherever and whenever they are built: Debian's
# reprotest builds the parts given twice with tools/downloads.sh, from a copy of the source tree,
# the second time in another folder, under a clock a year on (faketime), in another time zone,
# locale and umask, on other processors, with another PATH and environment; diffoscope
# compares the two builds' files, byte for byte, and reports where any difference lies.
#
#   reproducible.sh SOURCE_DIR PART...
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/pordeck"
(cd "$1" && git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$work/pordeck")
epoch=$(git -C "$1" log -1 --format=%ct) # the commit's time, as a tree with changes has none
shift
cd "$work"
# Not varied: the user and the file order, which need sudo and FUSE; the host name, which needs
# a namespace; and the home folder, which holds the SDL and emscripten libraries built before.
reprotest --vary=-user_group,-fileordering,-domain_host,-home -s pordeck \
  "XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache} SOURCE_DATE_EPOCH=$epoch tools/downloads.sh out $*" \
  'out/pordeck*' | tail -n 300

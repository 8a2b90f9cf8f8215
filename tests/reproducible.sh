#!/usr/bin/env bash
# The release's downloads are the same bytes wherever and whenever they are built: each part
# given is built twice by tools/release.sh, from copies of the source tree in two folders,
# the second under a clock 400 days ahead (faketime), and the results compared with cmp; for
# a difference, diffoscope's report says where it lies.
#
#   reproducible.sh SOURCE_DIR PART...
set -euo pipefail
source_dir=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Both builds stamp the commit's time; a tree with changes builds them too, as they stand.
SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for copy in one two; do
  mkdir -p "$work/$copy/pordeck"
  (cd "$source_dir" && git ls-files -co --exclude-standard -z |
    xargs -0 cp --parents -t "$work/$copy/pordeck")
done
"$work/one/pordeck/tools/release.sh" "$work/one/out" "$@" >"$work/one.log" 2>&1 ||
  fail "the first build: $(tail -n 20 "$work/one.log")"
faketime -f +400d "$work/two/pordeck/tools/release.sh" "$work/two/out" "$@" >"$work/two.log" 2>&1 ||
  fail "the second build: $(tail -n 20 "$work/two.log")"
status=0
for one in "$work"/one/out/pordeck*; do
  two=$work/two/out/${one##*/}
  if ! cmp "$one" "$two"; then
    diffoscope --no-progress --text - "$one" "$two" | head -n 300 || true
    status=1
  fi
done
[ "$status" = 0 ] || fail "the builds differ"
echo "the same bytes twice: $(cd "$work/one/out" && ls pordeck*)"

#!/usr/bin/env bash
# Releases the commit checked out: every download in dist/<version>/, built by
# tools/downloads.sh, with SHA256SUMS over them and NOTES.md, the version's changelog entry.
# Refused, with status 2, for a work tree with changes or a version that the changelog and the
# AppStream metadata do not both name.
set -euo pipefail
cd "$(dirname "$0")/.."
refuse() {
  echo "release: $*" >&2
  exit 2
}
# A field of the changelog's top entry, as dpkg-parsechangelog reads it (the maintainer, named
# at build time, stands in for the placeholder).
changelog() {
  sed 's/@PORDECK_DEBIAN_MAINTAINER@/pordeck <pordeck@example.org>/' packaging/changelog |
    dpkg-parsechangelog -l - -S "$1"
}
version=$(tools/version.sh) || exit 2
[ -z "$(git status --porcelain)" ] || refuse "the work tree has uncommitted changes"
[ "$(changelog Version)" = "$version" ] ||
  refuse "packaging/changelog has no entry for $version at its top"
grep -q "<release version=\"$version\"" packaging/*.metainfo.xml ||
  refuse "the AppStream metadata has no <release> of $version"
dist=dist/$version
rm -rf "$dist" build-release
tools/downloads.sh build-release
mkdir -p "$dist"
cp build-release/pordeck[-_]"$version"* "$dist/"
# The changelog's entry under a heading, its lines unindented (after the field's first lines,
# its own blank one and the entry's heading and "." line).
{
  printf '# pordeck %s\n\n' "$version"
  changelog Changes | tail -n +4 | sed 's/^\.$//; s/^  //'
  echo
} >"$dist/NOTES.md"
(cd "$dist" && sha256sum -- pordeck* >SHA256SUMS)
echo "Released $version in $dist:"
ls -l "$dist"

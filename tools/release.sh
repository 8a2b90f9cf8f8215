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
version=$(tools/version.sh)
[ -z "$(git status --porcelain)" ] || refuse "the work tree has uncommitted changes"
head -n 1 packaging/changelog | grep -q "^pordeck ($version)" ||
  refuse "packaging/changelog has no entry for $version at its top"
grep -q "<release version=\"$version\"" packaging/*.metainfo.xml ||
  refuse "the AppStream metadata has no <release> of $version"
dist=dist/$version
rm -rf "$dist" build-release
tools/downloads.sh build-release
mkdir -p "$dist"
cp build-release/pordeck[-_]"$version"* "$dist/"
# The changelog's entry, its lines unindented.
awk -v v="$version" 'NR == 1 { print "# pordeck " v; next }
  /^ -- / { exit } { sub(/^  /, ""); print }' packaging/changelog >"$dist/NOTES.md"
(cd "$dist" && sha256sum -- pordeck* >SHA256SUMS)
echo "Released $version in $dist:"
ls -l "$dist"

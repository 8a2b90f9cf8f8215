# debsrc.sh -- Debian's own source packages, for the builds that make their own copy of a
# library (the browser's and Windows' SDL2 and SDL2_mixer). Sourced by those scripts:
#
#   debsrc_version PACKAGE         prints the newest version of the source package apt knows;
#                                  where apt knows no source at all, it first adds deb-src
#                                  entries that mirror the machine's deb entries
#   debsrc_unpack DIR PACKAGE=VERSION...
#                                  fetches those sources with apt-get and unpacks each, with
#                                  Debian's patches applied, into DIR/PACKAGE

debsrc_sudo=()
[ "$(id -u)" -ne 0 ] && debsrc_sudo=(sudo)

debsrc_newest() {
  apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1
}

debsrc_add_entries() {
  local list=/etc/apt/sources.list.d
  if [ -f $list/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' $list/debian.sources |
      "${debsrc_sudo[@]}" tee $list/pordeck-deb-src.sources >/dev/null
  fi
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${debsrc_sudo[@]}" tee $list/pordeck-deb-src.list >/dev/null
  fi
  "${debsrc_sudo[@]}" apt-get -o DPkg::Lock::Timeout=1200 update -q
}

debsrc_version() {
  local version
  version=$(debsrc_newest "$1")
  if [ -z "$version" ]; then
    debsrc_add_entries >&2
    version=$(debsrc_newest "$1")
  fi
  [ -n "$version" ] || {
    echo "no source package for $1" >&2
    return 1
  }
  echo "$version"
}

debsrc_unpack() {
  local dir=$1 spec version
  shift
  (cd "$dir" && apt-get source -q --download-only "$@") >&2
  for spec in "$@"; do
    version=${spec#*=}
    dpkg-source -x "$dir/${spec%%=*}_${version#*:}.dsc" "$dir/${spec%%=*}" >/dev/null
  done
}

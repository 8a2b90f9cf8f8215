#!/usr/bin/env bash
# Packs the game for Windows players:
#
#   zip.sh ZIP SOURCE_DIR NAME FILE [NAME FILE ...]
#
# Each FILE goes into the zip as NAME: programs and DLLs stripped, text files (.txt) with
# Windows line ends. tools/windows/dlls.sh checks the DLLs first. Two builds of the same
# commit give the same bytes (tools/zipdir.sh), every member with the time SOURCE_DATE_EPOCH,
# by default the time of the commit SOURCE_DIR has checked out.
set -euo pipefail
zip=$(realpath -m "$1")
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$2" log -1 --format=%ct)} || {
  echo "zip.sh: set SOURCE_DATE_EPOCH, $2 is not a git checkout" >&2
  exit 1
}
shift 2
export SOURCE_DATE_EPOCH=$epoch # strip stamps a program with it, else with the current time
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
while [ $# -gt 0 ]; do
  mkdir -p "$stage/$(dirname "$1")"
  case $1 in
  *.exe | *.dll) x86_64-w64-mingw32-strip -o "$stage/$1" "$2" ;;
  *.txt) sed 's/\r*$/\r/' "$2" >"$stage/$1" ;;
  *) cp "$2" "$stage/$1" ;;
  esac
  shift 2
done
bash "$(dirname "$0")/dlls.sh" "$stage"

bash "$(dirname "$0")/../zipdir.sh" "$stage" "$zip"

#!/usr/bin/env bash
# Zips every file under a folder so that the same files give the same bytes, wherever and
# whenever it runs:
#
#   zipdir.sh DIR ZIP
#
# zip leaves out owners and extra fields (-X); Debian's strip-nondeterminism then puts the
# members in name order and gives each the time SOURCE_DATE_EPOCH (read in UTC, as a zip
# keeps local times) and the mode 644, or 755 for a program.
set -euo pipefail
: "${SOURCE_DATE_EPOCH:?zipdir.sh: SOURCE_DATE_EPOCH is not set}"
zip=$(realpath -m "$2")
rm -f "$zip"
(cd "$1" && find . -type f -printf '%P\n' | zip -q -9 -X -D "$zip" -@)
TZ=UTC strip-nondeterminism -t zip -T "$SOURCE_DATE_EPOCH" "$zip" >/dev/null

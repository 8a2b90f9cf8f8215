#!/usr/bin/env bash
# Runs a Windows program under Wine and exits with its status:
#
#   wine.sh PROGRAM [ARGUMENTS...]
#   wine.sh --wait      waits until the prefix's programs have ended, and Wine's server with
#                       them: a run on another X display needs a server of its own
#
# The Wine prefix is made on first use (tens of seconds) and kept outside the clone, in
# ${XDG_CACHE_HOME:-~/.cache}/pordeck/wine-prefix/wine-<version>, for every later run and
# clone; runs that start together wait for the one that makes it. Nothing is downloaded: the
# .NET and HTML engines that Wine would offer to fetch are switched off. Wine's own log is off.
set -euo pipefail
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
version=$(wine --version)
export WINEPREFIX=${XDG_CACHE_HOME:-$HOME/.cache}/pordeck/wine-prefix/${version%% *}
if [ ! -f "$WINEPREFIX/done" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/done" ]; then
      echo "Making the Wine prefix $WINEPREFIX" >&2
      wineboot --init >/dev/null 2>&1 && wineserver --wait && touch "$WINEPREFIX/done"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
[ "$1" = --wait ] && exec wineserver --wait
exec wine "$@"

#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, in the prefix the test
# command owns. With --display it gets a virtual X display of its own
# (Xvfb), for tests that open windows.
set -euo pipefail

display=0
if [ "${1:-}" = "--display" ]; then
  display=1
  shift
fi
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=d;winemenubuilder.exe=d}
# The host runs on a Russian Windows: Windows-1251 is the ANSI code page.
export LC_ALL=${STATS_WINE_LOCALE:-ru_RU.UTF-8}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$here/wine-prefix.sh"
fi
if [ "$display" -eq 1 ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"

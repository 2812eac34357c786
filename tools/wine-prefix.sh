#!/usr/bin/env bash
# Creates the Wine prefix the tests share, once, before they run in parallel.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=d;winemenubuilder.exe=d"
export LC_ALL=${STATS_WINE_LOCALE:-ru_RU.UTF-8}
"$here/enable-i386.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Wine's own fonts (package fonts-wine): MS Sans Serif, which the dialogs ask
# for, and Marlett, which draws the caption buttons. This Wine does not look
# for them where the package puts them, so they are linked into the prefix.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  for font in /usr/share/wine/fonts/*; do
    [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
  done
fi

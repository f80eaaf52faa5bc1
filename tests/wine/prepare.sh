#!/bin/sh
# Initialises the Wine prefix once before the Windows tests, so no test pays for (or races
# with) the first-run setup, and says which Wine runs them.
. "$(dirname "$0")/env.sh"
"$ZENTORA_WINE" wineboot --init >/dev/null 2>&1 || true
wineserver -w 2>/dev/null || true
# Debian's Wine does not load the fonts of its own data folder: without Marlett in the
# prefix, the title bars' buttons show letters ("r" for the close box) instead of symbols.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ] && [ -e /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
echo "Windows tests: the ${ZENTORA_WINE_BITS:-32}-bit build under $("$ZENTORA_WINE" --version) ($WINEARCH prefix $WINEPREFIX)"

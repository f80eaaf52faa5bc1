#!/bin/sh
# Initialises the Wine prefix once before the Windows tests, so no test pays for (or races
# with) the first-run setup, and says which Wine runs them.
. "$(dirname "$0")/env.sh"
"$ZENTORA_WINE" wineboot --init >/dev/null 2>&1 || true
wineserver -w 2>/dev/null || true
echo "Windows tests: the i686 build under $("$ZENTORA_WINE" --version) ($WINEARCH prefix $WINEPREFIX)"

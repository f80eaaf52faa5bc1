#!/bin/sh
# Initialises the Wine prefix once before the Windows tests, so no test pays for (or races
# with) the first-run setup. Prints which Windows build the machine can run.
. "$(dirname "$0")/env.sh"
"$ZENTORA_WINE" wineboot --init >/dev/null 2>&1 || true
wineserver -w 2>/dev/null || "${WINELOADER%/*}/wineserver64" -w 2>/dev/null || true
if [ "$WINEARCH" = win32 ]; then echo win32; else echo win64; fi

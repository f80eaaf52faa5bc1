#!/bin/sh
# Runs a 64-bit Windows test binary (the 64-bit library's host tests) under 64-bit Wine, in
# the 64-bit prefix prepare64.sh made ready.
ZENTORA_WINE_BITS=64 exec "$(dirname "$0")/run.sh" "$@"

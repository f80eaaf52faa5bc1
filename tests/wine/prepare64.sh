#!/bin/sh
# Makes the 64-bit prefix ready once before the 64-bit library's tests.
ZENTORA_WINE_BITS=64 exec "$(dirname "$0")/prepare.sh" "$@"

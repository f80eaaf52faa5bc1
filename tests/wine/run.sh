#!/bin/sh
# Runs a Windows test binary under Wine, in the prefix that `make test` prepared once, so
# that every test process of one run shares one wineserver (exclusive opens then exclude
# each other across processes, as on Windows).
. "$(dirname "$0")/env.sh"
exec "$ZENTORA_WINE" "$@"

# Sourced by run.sh and prepare.sh (run64.sh and prepare64.sh for the 64-bit library): one
# Wine prefix per run, quiet, no Mono/Gecko prompt, no desktop menu entries made for the
# programs it starts. The Windows tests run the 32-bit build the program ships as in a
# 32-bit prefix; a kernel that cannot run 32-bit code gets Debian's i386 user-mode emulation
# from tools/install-dependencies.sh. With ZENTORA_WINE_BITS=64, the 64-bit library's tests
# run in a 64-bit prefix of their own (beside WINEPREFIX when one is named, ending -win64).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "${ZENTORA_WINE_BITS:-32}" = 64 ]; then
  export WINEARCH=win64
  ZENTORA_WINE=/usr/lib/wine/wine64
  export WINELOADER=$ZENTORA_WINE
  if [ -n "${WINEPREFIX:-}" ]; then WINEPREFIX=${WINEPREFIX%-win64}-win64; fi
  loader=$ZENTORA_WINE
else
  export WINEARCH=win32
  ZENTORA_WINE=wine
  loader=/usr/lib/wine/wine
fi
if ! "$loader" --version >/dev/null 2>&1; then
  echo "$WINEARCH Wine ($loader) cannot start here: run tools/install-dependencies.sh" >&2
  exit 1
fi
: "${WINEPREFIX:=${TMPDIR:-/tmp}/zentora-wine-$WINEARCH}"
export WINEPREFIX

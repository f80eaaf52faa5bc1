# Sourced by run.sh and prepare.sh: one Wine prefix per run, quiet, no Mono/Gecko prompt.
# A kernel without 32-bit support (ia32 emulation off) cannot start the 32-bit Wine
# loader; there the 64-bit loader runs the x86-64 build of the same tests.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  ZENTORA_WINE=wine
  export WINEARCH=win32
else
  ZENTORA_WINE=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
  export WINEARCH=win64
fi
: "${WINEPREFIX:=${TMPDIR:-/tmp}/zentora-wine-$WINEARCH}"
export WINEPREFIX

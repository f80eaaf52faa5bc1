# Sourced by run.sh and prepare.sh: one 32-bit Wine prefix per run, quiet, no Mono/Gecko
# prompt, no desktop menu entries made for the programs it starts. The Windows tests run
# the 32-bit build the program ships as; a kernel that cannot run 32-bit code gets Debian's
# i386 user-mode emulation from tools/install-dependencies.sh.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "32-bit Wine (/usr/lib/wine/wine) cannot start here: run tools/install-dependencies.sh" >&2
  exit 1
fi
ZENTORA_WINE=wine
: "${WINEPREFIX:=${TMPDIR:-/tmp}/zentora-wine-$WINEARCH}"
export WINEPREFIX

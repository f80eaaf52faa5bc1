#!/usr/bin/env bash
# Checks the packages `make package` wrote to build/packages, as users get them:
#   - the Windows zip, unpacked into a fresh folder, runs under Wine from there: Zentora.exe
#     starts, makes a database through its dialogs and ends (the window tests' driver, told
#     where the program is through ZENTORA_PROGRAM); zentora-read.exe reads that database;
#     Lirvak.dll passes its host tests beside them;
#   - the .deb, unpacked with dpkg -x into a staging root: zentora-read and liblirvak.so.1
#     read a sample database, a C program built through lirvak.pc and the Python module do
#     too, the library's default folder is the user's data folder, and the program itself
#     makes that folder when it starts.
# Needs the win32 build (the window tests) and the linux build (the sample writer).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
packages=$root/build/packages
version=$(sed -n 's/^project(Zentora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentora-packages-XXXXXX")
trap 'rm -rf "$work"' EXIT

checks=0
pass() { checks=$((checks + 1)); echo "ok $checks - $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }
# same WHAT ACTUAL EXPECTED
same() {
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
  pass "$1"
}
exists() {
  for file in "$@"; do [ -e "$file" ] || fail "missing ${file#"$work"/}"; done
}

# ---------------------------------------------------------------- the Windows zip
zip=$packages/Zentora-$version-win32.zip
exists "$zip"
python3 -m zipfile -e "$zip" "$work/zip"
program=$work/zip/Zentora-$version-win32
same "the zip holds one folder with the program, the library, the reader, README and licence" \
  "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" \
  "./Zentora-$version-win32/LICENSE.txt ./Zentora-$version-win32/Lirvak.dll ./Zentora-$version-win32/README.txt ./Zentora-$version-win32/Zentora.exe ./Zentora-$version-win32/zentora-read.exe "
for function in GetRegi Get_datos_str Get_datos_image Get_datos_sonido; do
  same "README.txt shows $function in both languages" "$(grep -c "__stdcall $function(" "$program/README.txt")" 2
done
grep -q "Copyright (c) 2026 The Zentora developers" "$program/LICENSE.txt" || fail "LICENSE.txt is not the licence"
pass "LICENSE.txt is the MIT licence"

"$root/tests/wine/prepare.sh" >/dev/null
windows_program="Z:$(echo "$program" | tr / '\\')"
ZENTORA_PROGRAM="$windows_program\\Zentora.exe" xvfb-run -a "$root/tests/wine/run.sh" \
  "$root/build/win32/zentora_window_tests.exe" \
  --gtest_filter='RunningZentora.ShowsTheMainWindowWithItsMenuAndEndsOnExit:RunningZentora.CreatesADatabaseThroughItsDialogs' \
  || fail "Zentora.exe from the zip under Wine"
pass "Zentora.exe runs from the unpacked zip: main window, a new database through its dialogs, exit"
same "the database is a folder beside Zentora.exe" "$(stat -c %s "$program/Prueba/Prueba.z04")" 80
fields=$("$root/tests/wine/run.sh" "$program/zentora-read.exe" --lang en --folder "$windows_program" fields Prueba | tr -d '\r')
echo "$fields" | grep -q "^Label: Cliente *$" || fail "zentora-read.exe from the zip: $fields"
pass "zentora-read.exe from the zip reads the new database"
cp "$root/build/win32/lirvak/lirvak_host_tests.exe" "$program/"
xvfb-run -a "$root/tests/wine/run.sh" "$program/lirvak_host_tests.exe" >"$work/host.log" 2>&1 \
  || { cat "$work/host.log"; fail "Lirvak.dll from the zip"; }
pass "Lirvak.dll from the zip passes its host tests: $(grep -F '[  PASSED  ]' "$work/host.log")"

# ---------------------------------------------------------------- the Debian package
deb=$packages/zentora_${version}_$(dpkg --print-architecture).deb
exists "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libfltk1.3 libx11-6; do
  [[ ", $depends" == *", $library"* ]] || fail "Depends lacks $library: $depends"
done
pass "Depends names the libraries the binaries load: $depends"
stage=$work/root
dpkg -x "$deb" "$stage"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
lib=$stage/usr/lib/$multiarch
exists "$stage/usr/bin/zentora" "$stage/usr/bin/zentora-read" "$lib/liblirvak.so.1.0.0" "$stage/usr/include/lirvak.h" \
  "$lib/pkgconfig/lirvak.pc" "$stage/usr/lib/python3/dist-packages/lirvak.py" \
  "$stage/usr/share/applications/zentora.desktop" "$stage/usr/share/doc/zentora/copyright"
pass "the package installs the program, the reader, the library, its header, lirvak.pc and the Python module"
same "liblirvak.so links to the SONAME" "$(readlink "$lib/liblirvak.so")" liblirvak.so.1
same "liblirvak.so.1 links to the library" "$(readlink "$lib/liblirvak.so.1")" "liblirvak.so.$version"
same "the library's SONAME" "$(readelf -d "$lib/liblirvak.so.1.0.0" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')" liblirvak.so.1
same "the library exports lirvak.h and nothing else" \
  "$(nm -D --defined-only "$lib/liblirvak.so.1" | awk '$2 == "T" {print $3}' | sort | tr '\n' ' ')" \
  "GetRegi Get_datos_image Get_datos_sonido Get_datos_str Lirvak_free_str Lirvak_get_folder Lirvak_get_status Lirvak_set_folder "
for binary in zentora zentora-read; do
  ! ldd "$stage/usr/bin/$binary" | grep "not found" || fail "$binary needs a library this machine lacks"
done
pass "every library zentora and zentora-read load is there"
grep -qx "Exec=zentora" "$stage/usr/share/applications/zentora.desktop" &&
  grep -qx "Icon=zentora" "$stage/usr/share/applications/zentora.desktop" || fail "the desktop entry"
pass "the desktop entry starts zentora with its icon"
for size in 32 128; do
  icon=$stage/usr/share/icons/hicolor/${size}x$size/apps/zentora.png
  exists "$icon"
  same "the ${size}-pixel icon" "$(python3 -c "import sys; sys.path.insert(0, '$root/tests/package')
from desktop_icon_test import decode_png
print(decode_png(open('$icon', 'rb').read())[:2])")" "($size, $size)"
done

mkdir -p "$work/sample" "$work/xdg/zentora" "$work/home/.local/share/zentora"
for folder in "$work/sample" "$work/xdg/zentora" "$work/home/.local/share/zentora"; do
  "$root/build/linux/tests/reader/write_sample_database" "$folder" muestra
done
same "zentora-read counts the records" "$("$stage/usr/bin/zentora-read" --folder "$work/sample" count muestra)" 3
same "zentora-read shows a value" "$("$stage/usr/bin/zentora-read" --lang en --folder "$work/sample" value muestra Nombre 2)" Ana

export PKG_CONFIG_SYSROOT_DIR=$stage PKG_CONFIG_LIBDIR=$lib/pkgconfig
# The staged header and library are not where the compiler looks by itself: keep their flags.
export PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1
same "lirvak.pc's version" "$(pkg-config --modversion lirvak)" "$version"
# shellcheck disable=SC2046  # the flags are words
cc -std=c99 -Wall -Wextra -Werror -o "$work/read_with_lirvak" "$root/tests/package/read_with_lirvak.c" \
  $(pkg-config --cflags --libs lirvak) || fail "a C program built through lirvak.pc"
pass "a C program builds against the staged library through lirvak.pc: $(pkg-config --cflags --libs lirvak)"
unset PKG_CONFIG_SYSROOT_DIR PKG_CONFIG_LIBDIR PKG_CONFIG_ALLOW_SYSTEM_CFLAGS PKG_CONFIG_ALLOW_SYSTEM_LIBS
export LD_LIBRARY_PATH=$lib
same "the C program loads the staged library" "$(ldd "$work/read_with_lirvak" | awk '/liblirvak/ {print $3}')" "$lib/liblirvak.so.1"
same "the C program reads a folder it names" "$("$work/read_with_lirvak" "$work/sample")" \
  "$(printf 'folder %s/\nrecords 3\nPrecio 1234.5' "$work/sample")"
same "the library's default folder is \$XDG_DATA_HOME/zentora" "$(XDG_DATA_HOME=$work/xdg "$work/read_with_lirvak")" \
  "$(printf 'folder %s/xdg/zentora/\nrecords 3\nPrecio 1234.5' "$work")"
same "without XDG_DATA_HOME it is ~/.local/share/zentora" \
  "$(env -u XDG_DATA_HOME HOME="$work/home" "$work/read_with_lirvak")" \
  "$(printf 'folder %s/home/.local/share/zentora/\nrecords 3\nPrecio 1234.5' "$work")"
XDG_DATA_HOME=$work/reader-data "$work/read_with_lirvak" >/dev/null
[ ! -e "$work/reader-data/zentora" ] || fail "the library made \$XDG_DATA_HOME/zentora on a read"
pass "the library reads its default folder without making it"

export PYTHONPATH=$stage/usr/lib/python3/dist-packages
XDG_DATA_HOME=$work/xdg python3 "$root/tests/package/lirvak_module_test.py" "$work/sample" \
  || fail "the Python module"
pass "the Python module reads values, attachments and its default folder"
same "the Python module in one line" \
  "$(python3 -c "import lirvak; print(lirvak.open('$work/sample', 'muestra').value('Precio', 1))")" 1234.5
unset PYTHONPATH LD_LIBRARY_PATH

# The installed program keeps its databases in the user's data folder, made when it starts.
XDG_DATA_HOME=$work/program-data xvfb-run -a sh -c '
  "$1" & program=$!
  for _ in $(seq 100); do [ -d "$2" ] && break; sleep 0.1; done
  kill "$program"; wait "$program" 2>/dev/null || true' starter "$stage/usr/bin/zentora" "$work/program-data/zentora"
[ -d "$work/program-data/zentora" ] || fail "the packaged zentora did not make \$XDG_DATA_HOME/zentora"
pass "the packaged zentora starts and makes its folder in \$XDG_DATA_HOME"

echo "Packages: $checks passed, 0 failed"

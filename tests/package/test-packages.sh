#!/usr/bin/env bash
# Checks the packages `make package` wrote to build/packages, as users get them:
#   - the Windows zip, unpacked into a fresh folder, runs under Wine from there: every file
#     carries its version resource; Zentora.exe starts, makes a database through its dialogs
#     and ends (the window tests' driver, told where the program is through ZENTORA_PROGRAM);
#     zentora-read.exe reads that database, and writes the Linux tool's bytes for accented
#     names; Lirvak.dll and Lirvak64.dll pass their host tests loaded from another folder, and
#     README.txt's C example builds and reads through both;
#   - the .deb, unpacked with dpkg -x into a staging root: zentora-read and liblirvak.so.1
#     read a sample database, a C program built through lirvak.pc and the Python module do
#     too, the library's default folder is the user's data folder, and the program itself
#     makes that folder when it starts.
# Needs the win32 and win64 builds (the window and host tests) and the linux build (the sample
# writer, the Linux tool).
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
same "the zip holds one folder with the program, both libraries, the reader, the Python module, README and licence" \
  "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" \
  "$(for file in LICENSE.txt Lirvak.dll Lirvak64.dll README.txt Zentora.exe lirvak.py zentora-read.exe; do
       printf './Zentora-%s-win32/%s ' "$version" "$file"; done)"
for function in GetRegi Get_datos_str Get_datos_image Get_datos_sonido Lirvak_set_folder Lirvak_get_folder \
  Lirvak_get_status Lirvak_set_quiet; do
  same "README.txt shows $function in both languages" "$(grep -c "__stdcall $function(" "$program/README.txt")" 2
done
grep -q "Copyright (c) 2026 The Zentora developers" "$program/LICENSE.txt" || fail "LICENSE.txt is not the licence"
pass "LICENSE.txt is the MIT licence"

# Each Windows file's version resource, read from its resource section: both languages, the
# product, the version and the file's own name.
for entry in Zentora.exe:i386:application zentora-read.exe:i386:application Lirvak.dll:i386:DLL \
  Lirvak64.dll:x86-64:DLL; do
  IFS=: read -r file machine kind <<<"$entry"
  shown=$(python3 "$root/tools/show_version_resource.py" "$program/$file") || fail "$file has no version resource"
  same "$file: processor, versions and kind" "$(echo "$shown" | sed -n 2p)" \
    "  machine $machine; file version $version.0; product version $version.0; type $kind"
  for language in 0C0A04B0 040904B0; do
    table=$(echo "$shown" | sed -n "/StringFileInfo $language/,/StringFileInfo\|VarFileInfo/p")
    for line in "ProductName: Zentora" "FileVersion: $version.0" "ProductVersion: $version" "OriginalFilename: $file"; do
      grep -qxF "    $line" <<<"$table" || fail "$file, $language: no '$line' in: $table"
    done
  done
  same "$file: its languages" "$(echo "$shown" | tail -n 1)" "  VarFileInfo Translation: 0C0A/1200, 0409/1200"
  pass "$file: $(echo "$shown" | grep -A2 "StringFileInfo 040904B0" | sed -n 3p | sed 's/^ *//')"
done

"$root/tests/wine/prepare.sh" >/dev/null
windows_path() { echo "Z:$1" | tr / '\\'; }
windows_program=$(windows_path "$program")
ZENTORA_PROGRAM="$windows_program\\Zentora.exe" xvfb-run -a "$root/tests/wine/run.sh" \
  "$root/build/win32/zentora_window_tests.exe" \
  --gtest_filter='RunningZentora.ShowsTheMainWindowWithItsMenuAndEndsOnExit:RunningZentora.CreatesADatabaseThroughItsDialogs' \
  || fail "Zentora.exe from the zip under Wine"
pass "Zentora.exe runs from the unpacked zip: main window, a new database through its dialogs, exit"
same "the database is a folder beside Zentora.exe" "$(stat -c %s "$program/Prueba/Prueba.z04")" 80
fields=$("$root/tests/wine/run.sh" "$program/zentora-read.exe" --lang en --folder "$windows_program" fields Prueba)
echo "$fields" | grep -q "^Label: Cliente *$" || fail "zentora-read.exe from the zip: $fields"
pass "zentora-read.exe from the zip reads the new database"

# zentora-read.exe writes the very bytes the Linux tool writes, for names no ANSI code page
# holds: Wine hands it the command line as UTF-16 from this UTF-8 locale.
accented="$work/Datos José Жёлтый 😀"
mkdir -p "$accented"
"$root/build/linux/tests/reader/write_sample_database" "$accented" Año
same_bytes_as_linux() {
  LC_ALL=C.UTF-8 "$root/tests/wine/run.sh" "$program/zentora-read.exe" --folder "$(windows_path "$accented")" "$@" \
    >"$work/windows.out" || fail "zentora-read.exe $*"
  "$root/build/linux/zentora-read" --folder "$accented" "$@" >"$work/linux.out"
  cmp "$work/windows.out" "$work/linux.out" || fail "zentora-read.exe $*: other bytes than the Linux tool's"
  pass "zentora-read.exe $* in '${accented##*/}' writes the Linux tool's $(stat -c %s "$work/linux.out") bytes"
}
same_bytes_as_linux csv Año
same_bytes_as_linux value Año Notas 1
same_bytes_as_linux value Año Nombre 1
same_bytes_as_linux count Año

# Both libraries from the zip, loaded by a host in another folder, through the folder export.
elsewhere=$work/elsewhere
mkdir -p "$elsewhere/32" "$elsewhere/64"
cp "$root/build/win32/lirvak/lirvak_host_tests.exe" "$elsewhere/32/"
cp "$root/build/win64/lirvak/lirvak_host_tests.exe" "$elsewhere/64/"
"$root/tests/wine/prepare64.sh" >/dev/null
for bits in 32 64; do
  dll=$([ $bits = 32 ] && echo Lirvak.dll || echo Lirvak64.dll)
  run=$root/tests/wine/run.sh
  [ $bits = 64 ] && run=$root/tests/wine/run64.sh
  LIRVAK_DLL="$windows_program\\$dll" xvfb-run -a "$run" "$elsewhere/$bits/lirvak_host_tests.exe" \
    >"$work/host$bits.log" 2>&1 || { cat "$work/host$bits.log"; fail "$dll from the zip"; }
  grep -q "OK \] LirvakHostTest.ReadsAndWritesInTheFolderItIsGiven" "$work/host$bits.log" || fail "$dll: the folder test"
  pass "$dll from the zip, loaded from another folder, passes its host tests: $(grep -F '[  PASSED  ]' "$work/host$bits.log")"
done

# The C example of README.txt, built for both processors as it stands there, run from another
# folder: it names the zip's folder, loads the DLL of its bitness and reads through it. (Its
# standard output is in text mode, as any C program's: its lines end in CR LF.)
sed -n '/^\/\* leer.c \*\//,/^\/\* fin de leer.c/p' "$program/README.txt" | tr -d '\r' >"$elsewhere/leer.c"
"$root/build/linux/tests/reader/write_sample_database" "$program" muestra
for compiler in i686-w64-mingw32-gcc-posix:32 x86_64-w64-mingw32-gcc-posix:64; do
  IFS=: read -r cc bits <<<"$compiler"
  "$cc" -std=c99 -Wall -Wextra -Werror -municode -o "$elsewhere/leer$bits.exe" "$elsewhere/leer.c" -loleaut32 \
    || fail "README.txt's C example does not build for $bits bits"
  run=$root/tests/wine/run.sh
  [ $bits = 64 ] && run=$root/tests/wine/run64.sh
  same "README.txt's C example, $bits-bit, reads the zip's folder from elsewhere" \
    "$(cd "$elsewhere" && "$run" "leer$bits.exe" "$windows_program" muestra Nombre | tr -d '\r')" \
    "$(printf '3\nAño ĀŁ€ 漢 😀\nAna\nZoë, "Z"')"
done

# The Python module in the zip finds, for each bitness, a library beside it.
same "lirvak.py picks Lirvak.dll or Lirvak64.dll beside it" "$(python3 -c "import os, sys
sys.path.insert(0, '$program')
import lirvak
print(*(os.path.basename(lirvak.library_file('win32', size)) for size in (4, 8)),
      all(os.path.isfile(lirvak.library_file('win32', size)) for size in (4, 8)))")" "Lirvak.dll Lirvak64.dll True"

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

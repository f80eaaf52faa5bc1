#!/usr/bin/env bash
# Checks the packages `make package` wrote to build/packages, as users get them:
#   - the Windows zip, unpacked into a fresh folder, runs under Wine from there: every file
#     carries its version resource; Zentora.exe starts, makes a database through its dialogs
#     and ends (the window tests' driver, told where the program is through ZENTORA_PROGRAM);
#     zentora-read.exe reads that database, and writes the Linux tool's bytes for accented
#     names; Lirvak.dll and Lirvak64.dll pass their host tests loaded from another folder, and
#     README.txt's C example builds and reads through both;
#   - the .debs (test-debian-packages.sh): lintian finds no error or warning, apt installs
#     them in a bare Debian root of their own and purges them again, and what they install
#     works there as users run it: zentora-read's commands and conventions, the library
#     through a C program built with lirvak.pc and through the Python module, the manual
#     pages, the program making its folder when it starts.
# Needs the win32 and win64 builds (the window and host tests) and the linux build (the sample
# writer, the Linux tool); the Debian root needs root (chroot).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
packages=$root/build/packages
version=$(sed -n 's/^project(Zentora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentora-packages-XXXXXX")
. "$root/tests/package/checks.sh"
trap remove_work EXIT

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

# ---------------------------------------------------------------- the Debian packages
. "$root/tests/package/test-debian-packages.sh"

echo "Packages: $checks passed, 0 failed"

#!/usr/bin/env bash
# Checks the packages `make package` wrote to build/packages, as users get them:
#   - the Windows zip, unpacked into a fresh folder, runs under Wine from there: Zentora.exe
#     starts, makes a database through its dialogs and ends (the window tests' driver, told
#     where the program is through ZENTORA_PROGRAM); zentora-read.exe reads that database;
#     Lirvak.dll passes its host tests beside them;
#   - the .debs (test-debian-packages.sh): lintian finds no error or warning, apt installs
#     them in a bare Debian root of their own and purges them again, and what they install
#     works there as users run it: zentora-read's commands and conventions, the library
#     through a C program built with lirvak.pc and through the Python module, the manual
#     pages, the program making its folder when it starts.
# Needs the win32 build (the window tests) and the linux build (the sample writer); the
# Debian root needs root (chroot).
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

# ---------------------------------------------------------------- the Debian packages
. "$root/tests/package/test-debian-packages.sh"

echo "Packages: $checks passed, 0 failed"

#!/usr/bin/env bash
# Checks the .debs `make package` wrote to build/packages, as Debian users get them:
#   - lintian --pedantic finds no error and no warning; the info tags left are the ones named
#     below;
#   - each package holds what it should (the program, the library with its shlibs, symbols and
#     ldconfig trigger, the development files, the Python module), the library exports
#     lirvak.h and nothing else, and a C program builds against it through lirvak.pc;
#   - apt installs the four packages in a bare Debian root of their own (never on this
#     machine), where zentora-read keeps a shell's conventions (--help, --version, - for
#     standard output, a full disk reported), reads the user's data folder by default, the
#     library is found through ldconfig's cache by the C program and the Python module, and
#     apt purges them without a trace;
#   - the manual pages pass man --warnings, and the packaged program makes its folder when it
#     starts.
# Sourced by test-packages.sh, or run alone once the packages are made. Needs root (chroot)
# and the linux build (the sample writer).
if [ -z "${root:-}" ]; then
  set -euo pipefail
  root=$(cd "$(dirname "$0")/../.." && pwd)
  packages=$root/build/packages
  version=$(sed -n 's/^project(Zentora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  work=$(mktemp -d "${TMPDIR:-/tmp}/zentora-packages-XXXXXX")
  . "$root/tests/package/checks.sh"
  trap remove_work EXIT
  standalone=1
fi
[ "$(id -u)" -eq 0 ] || fail "the Debian packages are installed in a root of their own with chroot: run as root"

arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
declare -A deb=(
  [zentora]=$packages/zentora_${version}_$arch.deb
  [liblirvak1]=$packages/liblirvak1_${version}_$arch.deb
  [liblirvak-dev]=$packages/liblirvak-dev_${version}_$arch.deb
  [python3-lirvak]=$packages/python3-lirvak_${version}_all.deb
)
exists "${deb[@]}"

# ---- lintian: no error, no warning, and no info or pedantic tag but those left here on
# purpose (one per line, each with its reason):
# - hardening-no-fortify-functions: lintian's guess from the symbols a binary imports; a binary
#   whose every fortifiable call the compiler proved safe imports no checked function, and the
#   tag comes and goes with the build (seen on a fresh root, not on a developer's). The build's
#   flags are checked below instead: relro, bindnow, and checked calls present.
lintian_info_left="hardening-no-fortify-functions"
lintian --pedantic --display-info --tag-display-limit 0 "${deb[@]}" >"$work/lintian.log" 2>&1 || true
grep -vE '^[EWIPXCNO]: ' "$work/lintian.log" | grep -v "running with root privileges" | grep . &&
  fail "lintian did not run through: $(cat "$work/lintian.log")"
same "lintian --pedantic: no error and no warning" "$(grep -E '^[EW]: ' "$work/lintian.log")" ""
unexpected=$(grep -E '^[IPX]: ' "$work/lintian.log" | awk '{print $3}' | sort -u |
  grep -vxF "${lintian_info_left:-no tag is left}" || true)
same "lintian: no info or pedantic tag but those named" "$unexpected" ""

# ---- each package as it is built
field() { dpkg-deb -f "${deb[$1]}" "$2"; }
depends=$(field zentora Depends)
for library in libc6 libstdc++6 libfltk1.3 libx11-6; do
  [[ ", $depends" == *", $library"* ]] || fail "zentora's Depends lacks $library: $depends"
done
pass "zentora depends on the libraries its binaries load: $depends"
same "liblirvak-dev depends on this very library" "$(field liblirvak-dev Depends)" "liblirvak1 (= $version)"
same "python3-lirvak depends on Python and the library" "$(field python3-lirvak Depends)" \
  "python3:any, liblirvak1 (>= $version)"
for package in "${!deb[@]}"; do
  same "$package: its maintainer has an address" "$(field "$package" Maintainer)" \
    "Zentora developers <developers@zentora.invalid>"
done

mkdir "$work/control"
dpkg-deb -e "${deb[liblirvak1]}" "$work/control"
same "liblirvak1's control files: no maintainer scripts" "$(ls "$work/control" | tr '\n' ' ')" \
  "control md5sums shlibs symbols triggers "
same "liblirvak1 runs ldconfig through its trigger" "$(cat "$work/control/triggers")" "activate-noawait ldconfig"
same "liblirvak1's shlibs" "$(cat "$work/control/shlibs")" "liblirvak 1 liblirvak1 (>= $version)"

stage=$work/root
for package in "${!deb[@]}"; do dpkg -x "${deb[$package]}" "$stage"; done
lib=$stage/usr/lib/$multiarch
exists "$stage/usr/bin/zentora" "$stage/usr/bin/zentora-read" "$lib/liblirvak.so.1.0.0" "$stage/usr/include/lirvak.h" \
  "$lib/pkgconfig/lirvak.pc" "$stage/usr/lib/python3/dist-packages/lirvak.py" \
  "$stage/usr/share/applications/zentora.desktop"
for package in "${!deb[@]}"; do
  exists "$stage/usr/share/doc/$package/copyright" "$stage/usr/share/doc/$package/changelog.gz"
done
pass "the packages install the program, the reader, the library, its header, lirvak.pc, the Python module and each its licence and changelog"
same "liblirvak.so links to the SONAME" "$(readlink "$lib/liblirvak.so")" liblirvak.so.1
same "liblirvak.so.1 links to the library" "$(readlink "$lib/liblirvak.so.1")" "liblirvak.so.$version"
same "the library's SONAME" "$(readelf -d "$lib/liblirvak.so.1.0.0" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')" liblirvak.so.1
exports=$(nm -D --defined-only "$lib/liblirvak.so.1" | awk '$2 == "T" {print $3}' | sort | tr '\n' ' ')
same "the library exports lirvak.h and nothing else" "$exports" \
  "GetRegi Get_datos_image Get_datos_sonido Get_datos_str Lirvak_free_str Lirvak_get_folder Lirvak_get_status Lirvak_set_folder "
same "the symbols file names every export" \
  "$(sed -n 's/^ \([A-Za-z_]*\)@Base .*/\1/p' "$work/control/symbols" | sort | tr '\n' ' ')" "$exports"
# Lintian says where a call could be checked and is not (hardening-no-fortify-functions);
# here the checked calls are seen to be there at all.
fortified=0
for binary in usr/bin/zentora usr/bin/zentora-read "usr/lib/$multiarch/liblirvak.so.1.0.0"; do
  flags=$(readelf -d -l "$stage/$binary")
  grep -q GNU_RELRO <<<"$flags" && grep -qE 'BIND_NOW|FLAGS.*NOW' <<<"$flags" || fail "$binary is not built with relro and bindnow"
  fortified=$((fortified + $(nm -D "$stage/$binary" | grep -c '__[a-z_]*_chk' || true)))
done
[ "$fortified" -gt 0 ] || fail "no binary calls a checked (fortified) function"
pass "the binaries are hardened: relro and bindnow, $fortified checked (fortified) calls"
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
for page in man1/zentora.1 man1/zentora-read.1 man3/lirvak.3; do
  file=$stage/usr/share/man/$page.gz
  exists "$file"
  cmp -s <(gzip -dc "$file") "$root/packaging/man/${page#*/}" || fail "$page is not the repository's page"
done
"$root/tests/package/check-manual-pages.sh" "$stage"/usr/share/man/man*/*.gz || fail "man --warnings"
pass "zentora(1), zentora-read(1) and lirvak(3) are installed and man --warnings finds nothing"

export PKG_CONFIG_SYSROOT_DIR=$stage PKG_CONFIG_LIBDIR=$lib/pkgconfig
# The staged header and library are not where the compiler looks by itself: keep their flags.
export PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1
same "lirvak.pc's version" "$(pkg-config --modversion lirvak)" "$version"
# shellcheck disable=SC2046  # the flags are words
cc -std=c99 -Wall -Wextra -Werror -o "$work/read_with_lirvak" "$root/tests/package/read_with_lirvak.c" \
  $(pkg-config --cflags --libs lirvak) || fail "a C program built through lirvak.pc"
pass "a C program builds against the staged library through lirvak.pc: $(pkg-config --cflags --libs lirvak)"
unset PKG_CONFIG_SYSROOT_DIR PKG_CONFIG_LIBDIR PKG_CONFIG_ALLOW_SYSTEM_CFLAGS PKG_CONFIG_ALLOW_SYSTEM_LIBS

# The installed program keeps its databases in the user's data folder, made when it starts
# (on this machine's display server: the bare root has none).
XDG_DATA_HOME=$work/program-data xvfb-run -a sh -c '
  "$1" & program=$!
  for _ in $(seq 100); do [ -d "$2" ] && break; sleep 0.1; done
  kill "$program"; wait "$program" 2>/dev/null || true' starter "$stage/usr/bin/zentora" "$work/program-data/zentora"
[ -d "$work/program-data/zentora" ] || fail "the packaged zentora did not make \$XDG_DATA_HOME/zentora"
pass "the packaged zentora starts and makes its folder in \$XDG_DATA_HOME"

# ---- apt in a bare Debian root of its own: a minimal root of this machine's release,
# with this machine's apt sources and package lists (tools/minimal-root.sh). The root is a mount point of its own
# (until remove_work ends the run), so that the mounts each command inside needs (proc,
# /dev) live in a mount namespace of their own, kept from every other, and end with it; this
# holds also where this runs inside a chroot, whose / is no mount point (CI).
system=$work/debian
"$root/tools/minimal-root.sh" "$system"
mount --bind "$system" "$system"
in_root() {
  unshare --mount --propagation unchanged -- sh -c '
    mount --make-rprivate "$0" && mount -t proc proc "$0/proc" && mount --rbind /dev "$0/dev" || exit 125
    exec chroot "$0" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
      DEBIAN_FRONTEND=noninteractive "$@"' "$system" "$@"
}
mkdir -p "$system/checks/tests/package" "$system/checks/tests/reader" "$system/checks/sample" \
  "$system/checks/xdg/zentora" "$system/home/ana/.local/share/zentora"
cp "${deb[@]}" "$work/read_with_lirvak" "$system/checks/"
cp "$root/tests/package/lirvak_module_test.py" "$system/checks/tests/package/"
cp "$root/tests/reader/lirvak_test.py" "$system/checks/tests/reader/"
for folder in checks/sample checks/xdg/zentora home/ana/.local/share/zentora; do
  "$root/build/linux/tests/reader/write_sample_database" "$system/$folder" muestra
done

started=$SECONDS
install=(apt-get install -y -q --no-install-recommends)
for package in "${!deb[@]}"; do install+=("/checks/$(basename "${deb[$package]}")"); done
if ! in_root "${install[@]}" >"$work/apt.log" 2>&1; then
  # This machine's package lists may be older than the mirror: fetch them and try once more.
  in_root apt-get update -q >>"$work/apt.log" 2>&1 || true
  in_root "${install[@]}" >>"$work/apt.log" 2>&1 || { tail -n 30 "$work/apt.log"; fail "apt install of the packages"; }
fi
pass "apt installs the four packages in a bare root in $((SECONDS - started)) s," \
  "$(grep -cE '^(Setting up|Paramétrage de) ' "$work/apt.log") packages set up with their dependencies"
# /lib is /usr/lib in a merged root: the loader may name either.
same "the trigger ran ldconfig: its cache knows liblirvak.so.1" \
  "$(in_root ldconfig -p | awk '$1 == "liblirvak.so.1" {sub("^/usr", "", $NF); print $NF}')" "/lib/$multiarch/liblirvak.so.1"

# zentora-read as a shell user runs it.
# run WHAT EXPECTED_STATUS COMMAND...: the status, standard output in $work/out, standard
# error in $work/err.
run() {
  local what=$1 expected=$2 status=0
  shift 2
  in_root "$@" >"$work/out" 2>"$work/err" || status=$?
  [ "$status" = "$expected" ] || fail "$what: exit $status, expected $expected; stderr: $(cat "$work/err")"
}
for option in --help -h; do
  run "zentora-read $option" 0 zentora-read "$option"
  head -n 1 "$work/out" | grep -q "^usage: zentora-read " && [ ! -s "$work/err" ] ||
    fail "zentora-read $option: $(cat "$work/out" "$work/err")"
  grep -q "^DIR defaults to /root/.local/share/zentora/.$" "$work/out" || fail "--help names the default folder: $(cat "$work/out")"
  pass "zentora-read $option: the usage on standard output, exit 0, the default folder named"
done
for option in --version -V; do
  run "zentora-read $option" 0 zentora-read "$option"
  same "zentora-read $option" "$(cat "$work/out")" "zentora-read $version"
done
run "an unknown option" 2 zentora-read --colour count muestra
same "an unknown option: exit 2, said on standard error" "$(head -n 1 "$work/err")" "zentora-read: unknown option --colour"
run "the default folder" 0 env HOME=/home/ana zentora-read count muestra
same "without --folder zentora-read reads ~/.local/share/zentora" "$(cat "$work/out")" 3
run "--folder=DIR" 0 zentora-read --folder=/checks/sample --lang=en value muestra Nombre 2
same "--folder=DIR --lang=en" "$(cat "$work/out")" Ana
run "attachment to a file" 0 zentora-read --folder /checks/sample attachment muestra Foto 1 /checks/foto.jpg
run "attachment to -" 0 zentora-read --folder /checks/sample attachment muestra Foto 1 -
cmp -s "$work/out" "$system/checks/foto.jpg" && [ -s "$work/out" ] || fail "attachment - wrote other bytes than the file"
[ ! -e "$system/-" ] && [ ! -e "$system/root/-" ] || fail "attachment - made a file named -"
pass "attachment ... - writes the image's $(stat -c %s "$work/out") bytes to standard output, as to a file"
for command in csv count; do
  run "$command > /dev/full" 1 sh -c "zentora-read --folder /checks/sample $command muestra > /dev/full"
  grep -q "^zentora-read: the output could not be written" "$work/err" || fail "$command > /dev/full: $(cat "$work/err")"
  pass "zentora-read $command > /dev/full: exit 1 and says why"
done

# The library and the Python module as installed: found through ldconfig, nothing else.
same "the C program loads the installed library" \
  "$(in_root ldd /checks/read_with_lirvak | awk '/liblirvak/ {sub("^/usr", "", $3); print $3}')" "/lib/$multiarch/liblirvak.so.1"
same "the C program reads a folder it names" "$(in_root /checks/read_with_lirvak /checks/sample)" \
  "$(printf 'folder /checks/sample/\nrecords 3\nPrecio 1234.5')"
same "the library's default folder is \$XDG_DATA_HOME/zentora" \
  "$(in_root env XDG_DATA_HOME=/checks/xdg /checks/read_with_lirvak)" "$(printf 'folder /checks/xdg/zentora/\nrecords 3\nPrecio 1234.5')"
same "without XDG_DATA_HOME it is ~/.local/share/zentora" "$(in_root env HOME=/home/ana /checks/read_with_lirvak)" \
  "$(printf 'folder /home/ana/.local/share/zentora/\nrecords 3\nPrecio 1234.5')"
in_root env XDG_DATA_HOME=/checks/reader-data /checks/read_with_lirvak >/dev/null
[ ! -e "$system/checks/reader-data/zentora" ] || fail "the library made \$XDG_DATA_HOME/zentora on a read"
pass "the library reads its default folder without making it"
in_root env XDG_DATA_HOME=/checks/xdg python3 /checks/tests/package/lirvak_module_test.py /checks/sample \
  >"$work/python.log" 2>&1 || { cat "$work/python.log"; fail "the Python module"; }
pass "the installed Python module reads values, attachments and its default folder"
same "the Python module in one line" \
  "$(in_root python3 -c "import lirvak; print(lirvak.open('/checks/sample', 'muestra').value('Precio', 1))")" 1234.5

in_root apt-get purge -y -q zentora python3-lirvak liblirvak-dev liblirvak1 >"$work/purge.log" 2>&1 ||
  { cat "$work/purge.log"; fail "apt purge"; }
left=$(cd "$system" && ls -d usr/bin/zentora* "usr/lib/$multiarch"/liblirvak* usr/share/doc/*lirvak* usr/share/doc/zentora \
  usr/lib/python3/dist-packages/lirvak* 2>/dev/null || true)
same "apt purges the packages and leaves none of their files" "$left" ""
same "ldconfig's cache forgets the library" "$(in_root ldconfig -p | grep -c liblirvak || true)" 0

if [ -n "${standalone:-}" ]; then echo "Debian packages: $checks passed, 0 failed"; fi

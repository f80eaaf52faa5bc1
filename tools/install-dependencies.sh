#!/usr/bin/env bash
# Installs what building and testing Zentora needs on a Debian machine: the native and the
# MinGW-w64 i686 and x86-64 toolchains, GoogleTest's sources, FLTK, 32- and 64-bit Wine and Xvfb. Where the
# kernel cannot run 32-bit code, it also registers Debian's i386 user-mode emulation, so
# that 32-bit Wine runs the program as it ships. Packages already present are left as they
# are. Run it as root or as a user who may use sudo.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  # the native build, its tests (GoogleTest from source) and the resource writer
  cmake make g++ googletest python3
  # the fuzz targets: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # the Linux desktop program
  libfltk1.3-dev
  # the 32-bit Windows build
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  # running it: 32-bit Wine on a virtual X screen
  wine wine32 fonts-wine xvfb xauth
  # the 64-bit Lirvak64.dll for 64-bit hosts (the win64 preset), and 64-bit Wine for its tests
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine64
  # the Linux program driven by real key presses: a window manager and xdotool, and xwininfo
  # (x11-utils) to measure its windows
  openbox xdotool x11-utils
  # make package (the .deb's dependencies: dpkg-shlibdeps, which CPack calls after asking
  # file what each installed file is) and make test-packages (lirvak.pc; lintian on the
  # .debs; a bare Debian root to install them in; man --warnings on the manual pages)
  dpkg-dev file pkg-config lintian debootstrap man-db
)

# Fetches the package lists. A mirror caught mid-sync fails one list now and then (apt says
# so and exits 100 though it kept the others); it is asked again a few times, and then the
# install goes on with what it has: a package really missing still fails the install below.
update_package_lists() {
  local attempt
  for attempt in 1 2 3; do
    apt-get update -qq && return 0
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    sleep $((attempt * 5))
  done
  echo "Going on with the package lists apt has" >&2
}

# Installs the packages named that are not installed yet; with all of them there, the
# package lists are not even fetched.
install_missing() {
  local package missing=()
  for package in "$@"; do
    dpkg-query -W -f='${db:Status-Status}\n' "$package" 2>/dev/null | grep -qx installed || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  update_package_lists
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
install_missing "${packages[@]}"

# 32-bit Wine's loader is an i386 program. A kernel without 32-bit support (ia32 emulation
# off) refuses it; there, qemu's i386 emulator is registered for i386 programs through
# binfmt-support. Debian's qemu-user-binfmt registers every foreign architecture but leaves
# out the host's own family (i386 on amd64), so the i386 format is installed here with the
# ELF header that qemu itself registers for i386 programs.
wine32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! wine32_runs; then
  echo "This kernel does not run 32-bit programs: registering the i386 user-mode emulator"
  install_missing qemu-user binfmt-support
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  format=/proc/sys/fs/binfmt_misc/qemu-i386
  if [ -e "$format" ]; then
    # Registered before (by an earlier run, or from another root): the emulator it names
    # is now installed here too.
    echo 1 >"$format"
  else
    update-binfmts --package zentora --install qemu-i386 /usr/bin/qemu-i386 \
      --magic '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
      --mask '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
      --credentials yes
  fi
  if ! wine32_runs; then
    echo "32-bit Wine still cannot start (see /proc/sys/fs/binfmt_misc/qemu-i386)" >&2
    exit 1
  fi
fi
echo "32-bit Wine: $(/usr/lib/wine/wine --version)"

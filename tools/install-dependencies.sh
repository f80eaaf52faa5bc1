#!/usr/bin/env bash
# Installs what building and testing Zentora needs on a Debian machine: the native and the
# MinGW-w64 toolchains, GoogleTest's sources, FLTK, Wine (32- and 64-bit loaders) and Xvfb.
# Run as root; packages already present are left as they are.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  cmake make g++ googletest python3 \
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
  wine wine32 wine64 xvfb xauth libfltk1.3-dev >/dev/null

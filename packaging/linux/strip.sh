#!/bin/sh
# The strip the package build installs with (CMAKE_STRIP of the package-linux preset): as
# Debian strips its packages' binaries, the debugging symbols and also the .comment and
# .note sections, which hold only the compilers' version strings.
exec strip --remove-section=.comment --remove-section=.note "$@"

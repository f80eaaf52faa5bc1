#!/bin/sh
# Prints the Windows preset whose tests this machine can run under Wine: win32 where the
# kernel runs 32-bit code, else win64.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi

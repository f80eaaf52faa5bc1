#!/usr/bin/env bash
# Formats each manual page named (plain or gzipped) as man does for a terminal, with every
# groff warning on, and fails when man or groff says anything.
#     check-manual-pages.sh PAGE...
set -euo pipefail
[ $# -gt 0 ] || { echo "check-manual-pages: no page named" >&2; exit 2; }
status=0
for page in "$@"; do
  said=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) ||
    said="man failed on it${said:+: $said}"
  if [ -n "$said" ]; then
    echo "$page: $said" >&2
    status=1
  else
    echo "$page: no warning"
  fi
done
exit "$status"

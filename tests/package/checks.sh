# The package checks' reporting, sourced by their scripts: each passed check is numbered, the
# first failed one ends the run with its reason.
checks=${checks:-0}
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
# Removes the run's folder $work, after the mount of the Debian root inside it, if any.
remove_work() {
  if mountpoint -q "$work/debian" 2>/dev/null; then umount "$work/debian" || umount -l "$work/debian"; fi
  rm -rf --one-file-system "$work"
}

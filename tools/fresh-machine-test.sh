#!/usr/bin/env bash
# Proves the README's two commands on a fresh machine: a minimal Debian root of this
# machine's release, made with debootstrap from this machine's own apt sources, gets a copy
# of the checkout (its tracked files and new ones not ignored, never build/), and runs the
# README's set-up and test command inside it with chroot. Nothing carries over from one run
# to the next but the bare debootstrap base, so a package that the install script does not
# name fails here. Run as root.
#
#     tools/fresh-machine-test.sh [make target]     (default: the README's test command)
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-machine-test: run as root (debootstrap, mount and chroot need it)" >&2
  exit 1
fi
checkout="$(cd "$(dirname "$0")/.." && pwd)"
cache=/var/cache/zentora-fresh-machine  # the bare base (tools/minimal-root.sh)
work="${ZENTORA_FRESH_ROOT_PARENT:-/var/tmp}"
started=$SECONDS

. /etc/os-release
release="$VERSION_CODENAME"

# The bare base is made once and kept between runs (it holds nothing of the project's).
"$checkout/tools/minimal-root.sh" >/dev/null

root="$(mktemp -d "$work/zentora-fresh-root.XXXXXX")"
cleanup() {
  local code=$? pid i mounted=()
  # Whatever still runs inside the root (a wineserver, an X server) ends with it.
  for pid in /proc/[0-9]*; do
    if [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ]; then kill -9 "${pid#/proc/}" 2>/dev/null || true; fi
  done
  # Everything mounted under the root, deepest first (the install script may have mounted
  # binfmt_misc inside it too).
  while read -r _ point _; do
    case "$point" in "$root"/*) mounted+=("$point") ;; esac
  done </proc/self/mounts
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  if grep -q " $root/" /proc/self/mounts; then
    echo "fresh-machine-test: $root still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
  echo "== fresh machine: $((SECONDS - started)) s in all"
  exit "$code"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The bare base with this machine's apt sources, configuration, package lists and name
# resolution.
"$checkout/tools/minimal-root.sh" "$root"

# The checkout as a commit of it would hold it: tracked files and new ones not ignored.
mkdir "$root/zentora"
(cd "$checkout" && git ls-files -z --cached --others --exclude-standard |
  tar --null -T - --ignore-failed-read -cf -) | tar -C "$root/zentora" -xf -
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
# The package checks install the .debs in a bare root of their own, made from the same base.
mkdir -p "$root$cache"
mount --bind "$cache" "$root$cache"
mount -o remount,bind,ro "$root$cache"

# The README's commands: its first code block holds the set-up and test command.
command="$(awk '/^```/ { if (inside) exit; inside = 1; next } inside && /make test/' "$checkout/README.md" |
  sed 's/[[:space:]]*#.*$//')"
if [ $# -gt 0 ]; then command="tools/install-dependencies.sh && make $*"; fi
if [ -z "$command" ]; then
  echo "fresh-machine-test: the README's first code block has no test command" >&2
  exit 1
fi
echo "== in a fresh $release root ($root): $command"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 TERM=dumb CI="${CI:-}" /bin/bash -c "cd /zentora && $command"

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
cache=/var/cache/zentora-fresh-machine
work="${ZENTORA_FRESH_ROOT_PARENT:-/var/tmp}"
started=$SECONDS

. /etc/os-release
release="$VERSION_CODENAME"

# The machine's apt sources: every enabled one-line and deb822 source of this release.
mirror_of_release() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    sed -e 's/\[[^]]*\]//' "$file" | awk -v r="$release" '$1 == "deb" && $3 == r { print $2; exit }'
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v r="$release" 'BEGIN { RS = ""; FS = "\n" }
         { uri = ""; ok = 0; deb = 0
           for (i = 1; i <= NF; i++) {
             if ($i ~ /^URIs:/) { split($i, u, " "); uri = u[2] }
             if ($i ~ /^Types:/ && $i ~ /(^|[ ])deb([ ]|$)/) deb = 1
             if ($i ~ /^Suites:/) { n = split($i, s, " "); for (j = 2; j <= n; j++) if (s[j] == r) ok = 1 }
             if ($i ~ /^Enabled: *no/) ok = 0 }
           if (ok && deb && uri != "") { print uri; exit } }' "$file"
  done
}
mirror="$(mirror_of_release | head -n 1)"
if [ -z "$mirror" ]; then
  echo "fresh-machine-test: no apt source of $release on this machine" >&2
  exit 1
fi

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq || echo "apt-get update failed on some list; going on with what apt has" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

# The bare base is kept between runs (it holds nothing of the project's).
base="$cache/$release-minbase.tar"
if [ ! -f "$base" ]; then
  echo "== debootstrap --variant=minbase $release from $mirror (kept as $base)"
  mkdir -p "$cache"
  staging="$(mktemp -d "$work/zentora-debootstrap.XXXXXX")"
  debootstrap --variant=minbase "$release" "$staging" "$mirror" >"$staging.log" 2>&1 ||
    { tail -n 20 "$staging.log" >&2; rm -rf --one-file-system "$staging"; exit 1; }
  tar -C "$staging" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf --one-file-system "$staging" "$staging.log"
fi

root="$(mktemp -d "$work/zentora-fresh-root.XXXXXX")"
chmod 755 "$root"  # a root folder every user of the system may enter
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

tar -C "$root" -xf "$base"
# This machine's apt configuration and sources, as read now (in place of the one source
# debootstrap wrote); name resolution as here.
rm -f "$root/etc/apt/sources.list"
cp -a /etc/apt/sources.list.d /etc/apt/apt.conf.d /etc/apt/trusted.gpg.d "$root/etc/apt/" 2>/dev/null || true
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# The package lists this machine already has, as a start: apt then fetches only what changed,
# and a list a mirror serves mid-sync (apt refuses it and keeps the old one) is still there.
# They are lists, not packages: everything the build needs still comes from the install script.
mkdir -p "$root/var/lib/apt/lists"
find /var/lib/apt/lists -maxdepth 1 -type f \( -name '*Packages*' -o -name '*Release' -o -name '*InRelease' \) \
  -exec cp -p {} "$root/var/lib/apt/lists/" \;

# The checkout as a commit of it would hold it: tracked files and new ones not ignored.
mkdir "$root/zentora"
(cd "$checkout" && git ls-files -z --cached --others --exclude-standard |
  tar --null -T - --ignore-failed-read -cf -) | tar -C "$root/zentora" -xf -
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"

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

#!/usr/bin/env bash
# A bare Debian root (debootstrap --variant=minbase) of this machine's release, made from
# this machine's own apt sources the first time and kept as a tar in
# /var/cache/zentora-fresh-machine: it holds nothing of the project's. Run as root.
#
#     tools/minimal-root.sh          prints the path of the tar
#     tools/minimal-root.sh DIR      unpacks it into DIR (made, mode 755), with this machine's
#                                    apt sources, configuration and package lists, and its
#                                    name resolution
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "minimal-root: run as root (debootstrap needs it)" >&2
  exit 1
fi
cache=/var/cache/zentora-fresh-machine
work="${ZENTORA_FRESH_ROOT_PARENT:-/var/tmp}"

. /etc/os-release
release="$VERSION_CODENAME"
base="$cache/$release-minbase.tar"
into="${1:-}"

# Unpacks the base into $into and gives it this machine's apt configuration and sources (in
# place of the one source debootstrap wrote) and name resolution. The package lists this
# machine already has come as a start: apt then fetches only what changed, and a list a
# mirror serves mid-sync (apt refuses it and keeps the old one) is still there. They are
# lists, not packages.
unpack() {
  mkdir -p "$into"
  tar -C "$into" -xf "$base"
  chmod 755 "$into"  # a root folder every user of the system may enter (the tar's own is 700)
  rm -f "$into/etc/apt/sources.list"
  cp -a /etc/apt/sources.list.d /etc/apt/apt.conf.d /etc/apt/trusted.gpg.d "$into/etc/apt/" 2>/dev/null || true
  [ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$into/etc/apt/"
  cp -L /etc/resolv.conf "$into/etc/resolv.conf"
  mkdir -p "$into/var/lib/apt/lists"
  find /var/lib/apt/lists -maxdepth 1 -type f \( -name '*Packages*' -o -name '*Release' -o -name '*InRelease' \) \
    -exec cp -p {} "$into/var/lib/apt/lists/" \;
}

if [ -f "$base" ]; then
  if [ -n "$into" ]; then unpack; else echo "$base"; fi
  exit 0
fi

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
  echo "minimal-root: no apt source of $release on this machine" >&2
  exit 1
fi

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq >&2 || echo "apt-get update failed on some list; going on with what apt has" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

echo "== debootstrap --variant=minbase $release from $mirror (kept as $base)" >&2
mkdir -p "$cache"
staging="$(mktemp -d "$work/zentora-debootstrap.XXXXXX")"
debootstrap --variant=minbase "$release" "$staging" "$mirror" >"$staging.log" 2>&1 ||
  { tail -n 20 "$staging.log" >&2; rm -rf --one-file-system "$staging" "$staging.log"; exit 1; }
# Another run may have made it meanwhile: the rename keeps one whole tar either way.
tar -C "$staging" -cf "$base.part.$$" . && mv "$base.part.$$" "$base"
rm -rf --one-file-system "$staging" "$staging.log"
if [ -n "$into" ]; then unpack; else echo "$base"; fi

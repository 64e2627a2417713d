#!/usr/bin/env bash
# Installs the Debian packages a port of the game needs to build and test, and
# the source entries its dependencies are built from.
#   tools/ports/install-packages.sh windows
# Does nothing that is already done; needs root for the rest.
set -euo pipefail

usage() { echo "usage: $0 windows" >&2; exit 2; }
[ $# -eq 1 ] || usage
target=$1

sources_file=/etc/apt/sources.list.d/vermix-ports-src.sources
prefs_file=/etc/apt/preferences.d/vermix-ports-trixie

# Source entries, one block per suite. Only sources: apt never installs a
# binary package from them.
src_bookworm='Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
'
# trixie's source is wanted for OpenAL Soft only (bookworm's tarball is not in
# the archive); the pin keeps any binary from trixie out even if a deb line
# for it appears one day.
src_trixie='
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
'
prefs_trixie='Package: *
Pin: release n=trixie
Pin-Priority: -1
'

case $target in
  windows)
    packages=(
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      mingw-w64-x86-64-dev mingw-w64-tools libz-mingw-w64-dev
      nsis wine wine64 xvfb xauth
      meson ninja-build cmake pkg-config autoconf automake libtool make
      dpkg-dev zip unzip file
    )
    sources="$src_bookworm$src_trixie"
    prefs=$prefs_trixie
    ;;
  *) usage ;;
esac

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-packages: $1 needs root" >&2
    exit 1
  fi
}

changed_sources=0
if [ "$(cat "$sources_file" 2>/dev/null)" != "$(printf '%s' "$sources")" ]; then
  need_root "writing $sources_file"
  printf '%s' "$sources" >"$sources_file"
  changed_sources=1
fi
if [ -n "$prefs" ] && [ "$(cat "$prefs_file" 2>/dev/null)" != "$(printf '%s' "$prefs")" ]; then
  need_root "writing $prefs_file"
  printf '%s' "$prefs" >"$prefs_file"
  changed_sources=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ] && [ $changed_sources -eq 0 ]; then
  exit 0
fi
need_root "installing ${missing[*]:-nothing (sources changed)}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

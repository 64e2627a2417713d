#!/usr/bin/env bash
# Installs the Debian packages a port of the game needs to build and test, and
# the source entries its dependencies are built from; for the browser also the
# page driver from npm (tools/ports/web).
#   tools/ports/install-packages.sh windows|web
# Does nothing that is already done; needs root for the rest.
set -euo pipefail

usage() { echo "usage: $0 windows|web" >&2; exit 2; }
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
      dpkg-dev zip unzip file libasio-dev
    )
    ;;
  web)
    packages=(
      emscripten node-acorn nodejs chromium
      ninja-build cmake pkg-config autoconf automake libtool make dpkg-dev
    )
    # A Node.js from elsewhere brings its own npm; Debian's wants npm beside.
    command -v npm >/dev/null 2>&1 || packages+=(npm)
    ;;
  *) usage ;;
esac
# The same entries for every port, so that one port's run never undoes
# another's.
sources="$src_bookworm$src_trixie"
prefs=$prefs_trixie

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

if [ ${#missing[@]} -gt 0 ] || [ $changed_sources -eq 1 ]; then
  need_root "installing ${missing[*]:-nothing (sources changed)}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

if [ "$target" = web ]; then
  # The page driver from npm. It must never fetch a browser of its own:
  # Debian's /usr/bin/chromium is the one used.
  export PUPPETEER_SKIP_DOWNLOAD=1 PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
  web="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/web"
  stamp="$web/node_modules/.vermix-lock-sha256"
  want="$(sha256sum "$web/package-lock.json" | cut -d' ' -f1)"
  if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
    echo "$want" >"$stamp"
  fi
fi

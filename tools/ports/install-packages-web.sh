#!/usr/bin/env bash
# Installs what the browser build needs from Debian: the Emscripten toolchain,
# Chromium to run the page headless, Ninja, and dpkg-dev with a deb-src entry so
# that the libraries can be built from Debian's own sources. Then installs the
# npm packages of tools/ports/web (the Chromium driver) with `npm ci`.
# Safe to run again: it adds nothing that is already there.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

packages=(
  emscripten node-acorn nodejs
  chromium
  ninja-build cmake pkg-config dpkg-dev
)

# A deb-src entry for bookworm, in a file of its own. Another port's script may
# have written one already (vermix-src.list or .sources); any deb-src line for
# bookworm anywhere in apt's sources will do.
src_file=/etc/apt/sources.list.d/vermix-bookworm-src.sources
have_deb_src() {
  grep -rqsE '^\s*deb-src\s.*\sbookworm(\s|$)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null && return 0
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822: a stanza whose Types include deb-src and whose Suites include bookworm.
    awk 'BEGIN { RS = ""; found = 1 }
         /(^|\n)Types:[^\n]*deb-src/ && /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t]|\n|$)/ &&
         !/(^|\n)Enabled:[ \t]*no/ { found = 0 }
         END { exit found }' "$f" && return 0
  done
  return 1
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# A node from elsewhere (NodeSource's package is also called nodejs) satisfies
# emscripten's dependency and brings its own npm; Debian's nodejs needs npm beside it.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

need_src=0
have_deb_src || need_src=1

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-packages-web: needs root to install: ${missing[*]} (deb-src entry needed: $need_src)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [ $need_src -eq 1 ]; then
    cat >"$src_file" <<'SRC'
# Debian's sources, for building the browser build's libraries (apt-get source).
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    echo "install-packages-web: added $src_file"
  fi
  apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

# The page driver from npm. It must never fetch a browser of its own: Debian's
# /usr/bin/chromium is the one used.
export PUPPETEER_SKIP_DOWNLOAD=1 PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
web="$here/web"
stamp="$web/node_modules/.vermix-lock-sha256"
want="$(sha256sum "$web/package-lock.json" | cut -d' ' -f1)"
if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
  echo "$want" >"$stamp"
fi

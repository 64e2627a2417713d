#!/usr/bin/env bash
# Tests the browser build (build-web/site, made by tools/build-web.sh) in
# Debian's Chromium, headless: every golden replay to its final state, the
# reference screens pixel for pixel, a high score kept across a reload, and
# the heavy replay as a timedemo. Ends with "N passed, M failed" and a
# non-zero status on any failure.
#
#   tools/test-web.sh               # all of it
#   VERMIX_ONLY=replay tools/test-web.sh   # only tests whose name has "replay"
#   VERMIX_SKIP=screen tools/test-web.sh   # all but those whose name has "screen"
#
# What the page wrote (final states, screenshots, a picture of the page) is
# kept in build-web/test-output.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
site="$root/build-web/site"
[ -f "$site/vermix.wasm" ] || { echo "test-web: no $site: run tools/build-web.sh" >&2; exit 1; }
[ -x /usr/bin/chromium ] || { echo "test-web: no /usr/bin/chromium: run tools/ports/install-packages.sh web" >&2; exit 1; }
[ -d "$root/tools/ports/web/node_modules/playwright-core" ] ||
  { echo "test-web: no playwright-core: run tools/ports/install-packages.sh web" >&2; exit 1; }

# The served folder: the site, the replays beside it, and the scripts the
# tests write.
work="$(mktemp -d)"
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/root"
for f in "$site"/*; do ln -s "$f" "$work/root/"; done
ln -s "$root/tests/replays" "$work/root/replays"

out="$root/build-web/test-output"
rm -rf "$out"
mkdir -p "$out"

port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/root" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
  sleep 0.1
done

export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
VERMIX_URL="http://127.0.0.1:$port" VERMIX_ROOT="$work/root" VERMIX_OUT="$out" \
  node "$root/tools/web/test-web.mjs"

#!/usr/bin/env bash
# Tests the browser build (build-web/site, made by tools/build-web.sh) in
# Debian's Chromium, headless:
# - every golden replay to its final state and every reference screen (a
#   difference of 1 in a channel passes, counted): the native test program
#   runs the same tests with the page standing in for the Linux game
#   (VERMIX_TEST_GAME, tools/web/run-page.mjs);
# - the time from page load to the title, a high score kept across a reload,
#   and the heavy replay as a timedemo (tools/web/test-web.mjs).
# Ends with "N passed, M failed" and a non-zero status on any failure.
#
#   tools/test-web.sh               # all of it
#   VERMIX_ONLY=replay tools/test-web.sh   # only tests whose name has "replay"
#   VERMIX_SKIP=screen tools/test-web.sh   # all but those whose name has "screen"
#
# A picture of the page is kept in build-web/test-output.
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
export VERMIX_URL="http://127.0.0.1:$port"
passed=0
failed=0
wanted() {
  local name=${1,,} only=${VERMIX_ONLY:-} skip=${VERMIX_SKIP:-}
  [[ $name == *"${only,,}"* ]] && { [ -z "$skip" ] || [[ $name != *"${skip,,}"* ]]; }
}

# --- golden replays and reference screens, by the native tests ---------------
. "$root/tools/ports/native-tests.sh"
build_native_tests
wrapper="$work/vermix-in-page"
printf '#!/bin/sh\nexec node "%s" "$@"\n' "$root/tools/web/run-page.mjs" >"$wrapper"
chmod +x "$wrapper"
for t in "${native_port_tests[@]}"; do
  wanted "$t" || continue
  start=$SECONDS
  if VERMIX_TEST_GAME="$wrapper" VERMIX_TEST_SLOWDOWN=4 VERMIX_REFERENCE_TOLERANCE=1 \
    play_native_test "$t" "$work/gtest.log"; then
    passed=$((passed + 1))
    echo "PASS $t ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    echo "FAIL $t"
    tail -n 30 "$work/gtest.log"
  fi
  grep '^reference ' "$work/gtest.log" | sed 's/^/  /' || true
done

# --- what only the page has ----------------------------------------------------
if VERMIX_ROOT="$work/root" VERMIX_OUT="$out" node "$root/tools/web/test-web.mjs" | tee "$work/page.log"; then :; fi
summary=$(tail -n 1 "$work/page.log")
if [[ $summary =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
  passed=$((passed + BASH_REMATCH[1]))
  failed=$((failed + BASH_REMATCH[2]))
else
  failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]

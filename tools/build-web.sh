#!/usr/bin/env bash
# Builds the browser version into build-web/site/, a folder for any static web
# server: index.html, vermix.js, vermix.wasm, vermix.data (the sounds) and
# icon.png.
#
#   tools/build-web.sh            # from a clean clone; run again to rebuild
#
# Steps: Debian's Emscripten, Chromium and the page driver
# (tools/ports/install-packages.sh web); the libraries from Debian's sources,
# cached outside the tree (tools/ports/web/deps.sh); the sounds and the icon
# from a small native build (build-native/, shared with the Windows build);
# the game with Emscripten (build-web/). VERMIX_JOBS sets the parallel jobs
# (default 2); VERMIX_WERROR=1 turns warnings into errors.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${VERMIX_JOBS:-2}"
out="$root/build-web"
start=$SECONDS

step() { echo "build-web: $*" >&2; }

step "packages"
"$root/tools/ports/install-packages.sh" web
# shellcheck source=ports/web/env.sh
. "$root/tools/ports/web/env.sh"

step "libraries"
prefix="$("$root/tools/ports/web/deps.sh")"

step "sounds and icon (native)"
# The native build of the generators that tools/build-windows.sh uses too.
host="${VERMIX_NATIVE_BUILD:-$root/build-native}"
cmake -S "$root" -B "$host" -G Ninja -DVERMIX_TESTS=OFF -DVERMIX_BENCH=OFF >/dev/null
cmake --build "$host" -j "$jobs" --target sounds icons/64.png

step "game (Emscripten)"
if [ ! -f "$out/build.ninja" ] || ! grep -qF "$prefix" "$out/CMakeCache.txt" ||
  ! grep -qxF "VERMIX_SOUNDS_DIR:PATH=$host/data" "$out/CMakeCache.txt" ||
  ! grep -qxF "VERMIX_WERROR:BOOL=${VERMIX_WERROR:-0}" "$out/CMakeCache.txt"; then
  # From a clean cache: found libraries may name an older prefix, now gone.
  rm -f "$out/CMakeCache.txt"
  emcmake cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVERMIX_TESTS=OFF -DVERMIX_BENCH=OFF -DVERMIX_WERROR="${VERMIX_WERROR:-0}" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DVERMIX_SOUNDS_DIR="$host/data" >/dev/null
fi
cmake --build "$out" -j "$jobs" --target vermix

step "site"
site="$out/site"
rm -rf "$site.new"
mkdir -p "$site.new"
cp "$root/tools/web/index.html" "$site.new/"
cp "$out/vermix.js" "$out/vermix.wasm" "$out/vermix.data" "$site.new/"
cp "$host/icons/64.png" "$site.new/icon.png"
rm -rf "$site"
mv "$site.new" "$site"
step "done in $((SECONDS - start)) s: $site ($(du -sk "$site" | cut -f1) KiB)"

#!/usr/bin/env bash
# Builds the libraries that the browser build links (SDL2, zlib, libpng,
# FreeType, libogg, libvorbis, and nlohmann-json's headers) from Debian's
# bookworm source packages with Debian's Emscripten, as static libraries, into
# a prefix in a cache outside the tree:
#   ${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}/web-KEY/
# KEY is a short hash of these recipe files and of the source versions, so a
# change to either builds a new prefix and a warm run builds nothing. The prefix
# is built in a temporary folder and renamed into place only when complete.
# OpenAL is not built: the game links Emscripten's own (-lopenal).
#
# Prints the prefix on stdout; progress goes to stderr.
# Needs tools/ports/install-packages.sh web to have run (emscripten, dpkg-dev,
# ninja-build and a deb-src entry for bookworm).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=env.sh
. "$here/env.sh"

cache="${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}"
jobs="${VERMIX_JOBS:-2}"
# Source packages in build order: each may need the ones before it.
packages=(nlohmann-json3 zlib libpng1.6 freetype libogg libvorbis libsdl2)

log() { echo "web-deps: $*" >&2; }
die() {
  log "$*"
  exit 1
}

for tool in emcc emcmake emconfigure emmake ninja cmake dpkg-source; do
  command -v "$tool" >/dev/null || die "$tool is missing: run tools/ports/install-packages.sh web"
done

apt_opts=(-qq -o APT::Sandbox::User=root)

# The version of a source package that a suite offers, from apt's lists (no
# download); empty when the suite has none.
dsc_version() {
  apt-get source "${apt_opts[@]}" --print-uris "$1" 2>/dev/null |
    sed -n "s/^'[^']*' [^_ ]*_\([^ ]*\)\.dsc [0-9]* .*/\1/p" | head -n1 || true
}

# Prefer bookworm's security update; its files are sometimes missing from the
# archive, and then bookworm's own version is fetched instead. Both take part in
# the key, so the key does not depend on which of the two could be fetched.
declare -A security release
versions=""
for p in "${packages[@]}"; do
  security[$p]="$(dsc_version "$p/bookworm-security")"
  release[$p]="$(dsc_version "$p/bookworm")"
  [ -n "${release[$p]}" ] || die "no bookworm source for $p in apt's lists (deb-src entry missing? apt-get update?)"
  versions+="$p ${security[$p]:--} ${release[$p]}"$'\n'
done

key="$( (
  cat "$here/deps.sh" "$here/env.sh"
  printf '%s' "$versions"
  emcc --version | sed -n 1p
) | sha256sum | cut -c1-12)"
prefix="$cache/web-$key"

if [ -f "$prefix/.complete" ]; then
  log "$prefix is complete: nothing to build"
  echo "$prefix"
  exit 0
fi

start=$SECONDS
mkdir -p "$cache/web-sources"
work="$(mktemp -d "$cache/.web-$key.XXXXXX")"
trap 'rm -rf "$work"' EXIT
stage="$work/prefix"
mkdir -p "$stage"
log "building into $prefix (key $key)"

# Fetches and unpacks a source package (with Debian's patches) into $work/src,
# keeping the downloads in $cache/web-sources for the next build. Sets $srcdir.
fetch() {
  local p="$1" v suite got=""
  for suite in bookworm-security bookworm; do
    if [ "$suite" = bookworm-security ]; then v="${security[$p]}"; else v="${release[$p]}"; fi
    [ -n "$v" ] || continue
    if (cd "$cache/web-sources" && apt-get source "${apt_opts[@]}" --download-only "$p/$suite" >/dev/null 2>"$work/fetch-$p.log"); then
      got="$v"
      break
    fi
    log "$p $v ($suite) could not be fetched; trying bookworm's own version"
  done
  [ -n "$got" ] || die "could not fetch $p: $(grep -m1 '^E:' "$work/fetch-$p.log")"
  mkdir -p "$work/src"
  dpkg-source --no-check -x "$cache/web-sources/${p}_${got#*:}.dsc" "$work/src/$p" >/dev/null
  echo "$p $got" >>"$stage/versions.txt"
  srcdir="$work/src/$p"
}

# emcmake and emconfigure set pkg-config's search path to Emscripten's sysroot
# and add EM_PKG_CONFIG_PATH to it.
export EM_PKG_CONFIG_PATH="$stage/lib/pkgconfig:$stage/share/pkgconfig"
cmake_common=(
  -G Ninja
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$stage"
  -DCMAKE_INSTALL_LIBDIR=lib
  -DCMAKE_PREFIX_PATH="$stage"
  -DCMAKE_FIND_ROOT_PATH="$stage"
  -DBUILD_SHARED_LIBS=OFF
  -DBUILD_TESTING=OFF
  "-DCMAKE_CROSSCOMPILING_EMULATOR=${vermix_web_node_run[0]};${vermix_web_node_run[1]}"
)

# cmake_build NAME [cmake options...]: configure, build and install $srcdir.
cmake_build() {
  local name="$1" b="$work/build/$1"
  shift
  emcmake cmake -S "$srcdir" -B "$b" "${cmake_common[@]}" "$@" >"$work/$name-configure.log" 2>&1 ||
    die "$name: configure failed: $(tail -n 20 "$work/$name-configure.log")"
  cmake --build "$b" -j "$jobs" >"$work/$name-build.log" 2>&1 ||
    die "$name: build failed: $(tail -n 30 "$work/$name-build.log")"
  cmake --install "$b" >"$work/$name-install.log" 2>&1 ||
    die "$name: install failed: $(tail -n 20 "$work/$name-install.log")"
}

timed() {
  local t=$SECONDS
  "$@"
  log "$1 ${2:-}: $((SECONDS - t)) s"
}

build_json() {
  fetch nlohmann-json3
  # Headers only: nothing is compiled.
  cmake_build json -DJSON_BuildTests=OFF -DJSON_Install=ON
}

build_zlib() {
  fetch zlib
  # zlib's CMake file wants win32/zlib1.rc, which Debian's tarball lacks: use
  # its own configure script instead.
  (cd "$srcdir" &&
    emconfigure ./configure --static --prefix="$stage" >"$work/zlib-configure.log" 2>&1 &&
    emmake make -j "$jobs" libz.a >"$work/zlib-build.log" 2>&1 &&
    emmake make install >"$work/zlib-install.log" 2>&1) ||
    die "zlib failed: $(tail -n 20 "$work"/zlib-*.log)"
}

build_libpng() {
  fetch libpng1.6
  cmake_build libpng -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_ROOT="$stage"
}

build_freetype() {
  fetch freetype
  cmake_build freetype -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$stage"
}

build_libogg() {
  fetch libogg
  # CMake's type-size checks give nonsense under Emscripten; wasm32's sizes are
  # known, so they are given here.
  cmake_build libogg -DINSTALL_DOCS=OFF \
    -DHAVE_INT16_SIZE=TRUE -DINT16_SIZE=2 -DHAVE_UINT16_SIZE=TRUE -DUINT16_SIZE=2 \
    -DHAVE_U_INT16_SIZE=TRUE -DU_INT16_SIZE=2 -DHAVE_INT32_SIZE=TRUE -DINT32_SIZE=4 \
    -DHAVE_UINT32_SIZE=TRUE -DUINT32_SIZE=4 -DHAVE_U_INT32_SIZE=TRUE -DU_INT32_SIZE=4 \
    -DHAVE_INT64_SIZE=TRUE -DINT64_SIZE=8 -DHAVE_SHORT_SIZE=TRUE -DSHORT_SIZE=2 \
    -DHAVE_INT_SIZE=TRUE -DINT_SIZE=4 -DHAVE_LONG_SIZE=TRUE -DLONG_SIZE=4 \
    -DHAVE_LONG_LONG_SIZE=TRUE -DLONG_LONG_SIZE=8
}

build_libvorbis() {
  fetch libvorbis
  cmake_build libvorbis
}

build_sdl2() {
  fetch libsdl2
  # The game plays its sound through OpenAL, so SDL's audio is left out.
  cmake_build sdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_AUDIO=OFF
}

timed build_json
timed build_zlib
timed build_libpng
timed build_freetype
timed build_libogg
timed build_libvorbis
timed build_sdl2

# The libraries' .pc and CMake files name the folder they were installed into;
# point them at the final place before moving the prefix there.
grep -rlIF "$stage" "$stage" | while read -r f; do
  sed -i "s|$stage|$prefix|g" "$f"
done
touch "$stage/.complete"
if ! mv -T "$stage" "$prefix" 2>/dev/null; then
  # Another build finished the same prefix first: keep that one.
  [ -f "$prefix/.complete" ] || die "could not move the prefix to $prefix"
  log "$prefix was completed by another build meanwhile"
fi
# Libraries an earlier recipe built are not used again.
for old in "$cache"/web-????????????; do
  [ "$old" = "$prefix" ] || rm -rf "$old"
done
log "done in $((SECONDS - start)) s: $prefix"
echo "$prefix"

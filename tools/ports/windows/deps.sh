#!/usr/bin/env bash
# Builds the game's libraries for 64-bit Windows from Debian's source packages
# into a prefix in a cache outside the source tree, and prints that prefix.
#
#   prefix=$(tools/ports/windows/deps.sh)
#
# The prefix is ${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}/windows-KEY,
# KEY a hash of this recipe (this script, the CMake toolchain file, the meson
# cross file, the source versions below) and of the compiler's version, so a
# second run with the same recipe builds nothing. A prefix is built aside and
# renamed into place when complete: an interrupted build leaves no half cache.
#
# Static libraries (and the JSON headers), so the game is one executable, except OpenAL Soft: a DLL
# (OpenAL32.dll, with its C++ runtime linked in) a player may replace.
# zlib is Debian's mingw-w64 build (libz-mingw-w64-dev), linked statically.
# Needs the packages of `tools/ports/install-packages.sh windows`.
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}
jobs=2
host=x86_64-w64-mingw32
toolchain=$here/toolchain.cmake
cross=$here/meson-cross.ini

# Debian source packages, bookworm's unless said: name=version. Versions are
# explicit because the archive does not always keep every file of the newest
# one (security updates above all).
sources=(
  libogg=1.3.5-3
  libvorbis=1.3.7-1
  libpng1.6=1.6.39-2+deb12u5
  freetype=2.12.1+dfsg-5+deb12u4
  libsdl2=2.26.5+dfsg-1
  libepoxy=1.5.10-1
  nlohmann-json3=3.11.2-2
  openal-soft=1:1.24.2-1 # trixie's: bookworm's original tarball is not in the archive
)

log() { echo "windows deps: $*" >&2; }

recipe_key() {
  {
    sha256sum "${BASH_SOURCE[0]}" "$toolchain" "$cross" | cut -d' ' -f1
    printf '%s\n' "${sources[@]}"
    "$host-g++-posix" --version | sed -n 1p
    dpkg-query -W -f='${Package} ${Version}\n' libz-mingw-w64-dev mingw-w64-x86-64-dev \
      binutils-mingw-w64-x86-64
  } | sha256sum | cut -c1-12
}

mkdir -p "$cache"
key=$(recipe_key)
final=$cache/windows-$key

exec 9>"$cache/windows.lock"
flock 9

if [ -f "$final/.complete" ]; then
  log "reusing the cache $final"
  echo "$final"
  exit 0
fi

# Anything left aside is from an interrupted run: the lock is ours.
rm -rf "$cache"/windows-*.part "$cache"/windows-build.*
stage=$final.part
work=$(mktemp -d "$cache/windows-build.XXXXXX")
trap 'rm -rf "$work" "$stage"' EXIT
mkdir -p "$stage" "$cache/src"
log "building into $final (logs in $work while it runs)"

export VERMIX_WINDOWS_PREFIX=$stage
export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig
unset PKG_CONFIG_PATH

# The source files of name=version, fetched once into $cache/src and checked
# against the archive's signed index: the original tarball is required; the
# Debian part, when the archive has it, brings Debian's patches.
fetch() {
  local name=${1%%=*} version=${1#*=}
  local sums
  sums=$(apt-cache showsrc "$name" | awk -v v="$version" '
    /^Version:/ { keep = ($2 == v) }
    /^Checksums-Sha256:/ { inside = keep; next }
    /^[^ ]/ { inside = 0 }
    inside { print $1 "  " $3 }')
  if [ -z "$sums" ]; then
    log "$name $version is not in the source index (run tools/ports/install-packages.sh windows)"
    exit 1
  fi
  local file missing=0
  while read -r _ file; do
    [ -f "$cache/src/$file" ] || missing=1
  done <<<"$sums"
  if [ $missing -eq 1 ]; then
    # Some files may be missing from the archive; what is there is enough if
    # the original tarball is among it.
    (cd "$cache/src" && apt-get source --download-only -qq "$name=$version" 2>&1 || true) |
      grep -v '^W: Download is performed unsandboxed' >&2 || true
  fi
  (cd "$cache/src" && grep -v '\.dsc$\|\.asc$' <<<"$sums" | while read -r sum file; do
    if [ -f "$file" ]; then echo "$sum  $file"; fi
  done | sha256sum --quiet -c - >&2)
}

# Unpacks name=version into $work/name and applies Debian's patches if the
# Debian part is at hand. Prints the source directory.
unpack() {
  local name=${1%%=*} version=${1#*=}
  local upstream=${version#*:}
  upstream=${upstream%-*}
  local dir=$work/$name
  local orig
  orig=$(ls "$cache/src/${name}_${upstream}".orig.tar.* | grep -v '\.asc$' | head -n1)
  mkdir -p "$dir"
  tar -xf "$orig" -C "$dir" --strip-components=1
  # Further original tarballs (name_version.orig-part.tar.*) go to part/.
  local extra part
  for extra in "$cache/src/${name}_${upstream}".orig-*.tar.*; do
    case $extra in *.asc | *'*'*) continue ;; esac
    part=${extra##*.orig-}
    part=${part%%.tar.*}
    mkdir -p "$dir/$part"
    tar -xf "$extra" -C "$dir/$part" --strip-components=1
  done
  local debian
  debian=$(ls "$cache/src/${name}_${version#*:}".debian.tar.* 2>/dev/null | head -n1 || true)
  if [ -n "$debian" ]; then
    tar -xf "$debian" -C "$dir"
    if [ -f "$dir/debian/patches/series" ]; then
      local patch
      while read -r patch _; do
        case $patch in '' | '#'*) continue ;; esac
        patch -d "$dir" -p1 -s --batch <"$dir/debian/patches/$patch"
      done <"$dir/debian/patches/series"
    fi
  else
    log "$name $version: no Debian part in the archive, building the original source"
  fi
  echo "$dir"
}

zlib_args=(-DZLIB_LIBRARY=/usr/$host/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$host/include)

cmake_build() {
  local src=$1 name=$2
  shift 2
  cmake -S "$src" -B "$work/$name-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVERMIX_WINDOWS_PREFIX="$stage" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$work/$name.log" 2>&1
  cmake --build "$work/$name-build" -j$jobs >>"$work/$name.log" 2>&1
  cmake --install "$work/$name-build" >>"$work/$name.log" 2>&1
}

build() {
  local spec=$1 name=${1%%=*} src start=$SECONDS
  src=$(unpack "$spec")
  log "$name ${spec#*=}"
  if ! "build_$name" "$src" >/dev/null 2>&1; then
    log "$name failed; the end of its log:"
    tail -n 40 "$work/$name.log" >&2
    exit 1
  fi
  log "$name done in $((SECONDS - start)) s"
}

build_libogg() { cmake_build "$1" libogg -DBUILD_TESTING=OFF -DINSTALL_DOCS=OFF; }
build_libvorbis() { cmake_build "$1" libvorbis -DBUILD_TESTING=OFF; }
build_libpng1.6() {
  cmake_build "$1" libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF "${zlib_args[@]}"
}
build_freetype() {
  cmake_build "$1" freetype -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON "${zlib_args[@]}"
}
build_libsdl2() {
  cmake_build "$1" libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_DIRECTX=ON -DSDL_WASAPI=ON -DSDL_OPENGL=ON -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF
}
build_libepoxy() {
  {
    meson setup "$work/libepoxy-build" "$1" --cross-file "$cross" --prefix "$stage" \
      --libdir lib --buildtype release --default-library static \
      -Degl=no -Dglx=no -Dx11=false -Dtests=false -Ddocs=false
    meson compile -C "$work/libepoxy-build" -j $jobs
    meson install -C "$work/libepoxy-build"
  } >"$work/libepoxy.log" 2>&1
}
build_nlohmann-json3() {
  cmake_build "$1" nlohmann-json3 -DJSON_BuildTests=OFF -DJSON_Install=ON
}
build_openal-soft() {
  # A DLL with its C++ runtime inside, and only Windows' own outputs, plus the
  # null and wave outputs the tests use.
  cmake_build "$1" openal-soft -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF \
    -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
    -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_UPDATE_BUILD_VERSION=OFF \
    -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON -DALSOFT_STATIC_WINPTHREAD=ON \
    -DALSOFT_REQUIRE_WASAPI=ON -DALSOFT_REQUIRE_DSOUND=ON -DALSOFT_REQUIRE_WINMM=ON \
    -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
    -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF
}

# Every source first, so a missing one stops the run before any building.
for spec in "${sources[@]}"; do
  fetch "$spec"
done
for spec in "${sources[@]}"; do
  build "$spec"
done

# zlib as the others see it: Debian's static library, copied into the prefix
# so that -lz finds it before the import library of zlib1.dll beside it.
cp /usr/$host/lib/libz.a "$stage/lib/"
cp /usr/$host/include/zlib.h /usr/$host/include/zconf.h "$stage/include/"
cat >"$stage/lib/pkgconfig/zlib.pc" <<EOF
prefix=$stage
Name: zlib
Description: zlib compression library (Debian's libz-mingw-w64-dev, static)
Version: $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)
Libs: -L\${prefix}/lib -lz
Cflags: -I\${prefix}/include
EOF

# The prefix is renamed after the build, and the static libraries need their
# own dependencies at link time even for a plain `pkg-config --libs`: the .pc
# files find their prefix from where they are, and the private parts of the
# static libraries join the public ones (OpenAL Soft is a DLL: left as it is).
rm -f "$stage"/lib/*.la
for pc in "$stage"/lib/pkgconfig/*.pc; do
  [ -L "$pc" ] && continue
  sed -i "s|$stage|\${pcfiledir}/../..|g" "$pc"
  case $(basename "$pc") in openal.pc) continue ;; esac
  awk '
    /^Libs:/ { libs = $0; next }
    /^Libs.private:/ { sub(/^Libs.private:/, ""); priv = priv " " $0; next }
    /^Requires:/ { req = $0; next }
    /^Requires.private:/ { sub(/^Requires.private:/, ""); rpriv = rpriv " " $0; next }
    { print }
    END {
      if (libs == "") libs = "Libs:"
      print libs priv
      if (req == "" && rpriv != "") req = "Requires:"
      if (req != "") {
        if (rpriv != "" && req != "Requires:") req = req ","
        print req rpriv
      }
    }' "$pc" >"$pc.new"
  mv "$pc.new" "$pc"
done
# The libraries' own CMake packages and scripts name the build prefix: the
# game finds them with pkg-config (all but the JSON headers, whose CMake
# package under share/ finds its files from where it is).
rm -rf "$stage"/lib/cmake "$stage"/bin/*-config

printf '%s\n' "${sources[@]}" >"$stage/sources.txt"
touch "$stage/.complete"
mv -T "$stage" "$final"
trap 'rm -rf "$work"' EXIT
# Libraries an earlier recipe built are not used again.
for old in "$cache"/windows-????????????; do
  [ "$old" = "$final" ] || rm -rf "$old"
done
log "done: $final"
echo "$final"

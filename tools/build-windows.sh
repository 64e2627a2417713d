#!/usr/bin/env bash
# Builds the game for 64-bit Windows from this tree, in one command:
#   tools/build-windows.sh
# 1. the packages of the cross build (tools/ports/install-packages.sh windows),
# 2. the libraries from Debian's sources, once, into a cache outside the tree
#    (tools/ports/windows/deps.sh; a warm cache rebuilds nothing),
# 3. the sounds and icons with a native build of just their tools (build-native/),
# 4. vermix.exe cross-built in build-windows/, the icon built in, its UDP
#    link over Debian's standalone Asio (header only; the headers copied to
#    a folder of their own, so the cross compiler sees nothing else of
#    /usr/include), (VERMIX_WERROR=1 turns warnings into errors),
# 5. vermix-VERSION-windows-x86_64.zip (the portable game) and
#    vermix-VERSION-setup.exe (the installer) in build-windows/.
set -euo pipefail
shopt -s inherit_errexit

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native=${VERMIX_NATIVE_BUILD:-$root/build-native}
out=${VERMIX_WINDOWS_BUILD:-$root/build-windows}
src=${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}/src
log() { echo "build-windows: $*" >&2; }

"$root/tools/ports/install-packages.sh" windows
prefix=$("$root/tools/ports/windows/deps.sh")
log "libraries in $prefix"

log "sounds and icons (native)"
cmake -S "$root" -B "$native" -G Ninja -DVERMIX_TESTS=OFF -DVERMIX_BENCH=OFF >/dev/null
icon_sizes=(16 24 32 48 64 128 256)
ninja -C "$native" -j2 sounds $(printf 'icons/%s.png ' "${icon_sizes[@]}")

# A Windows icon holds the PNGs as they are, largest last.
mkdir -p "$out"
python3 - "$out/vermix.ico" "${icon_sizes[@]/#/$native/icons/}" <<'PY'
import struct, sys
out, pngs = sys.argv[1], [p + ".png" for p in sys.argv[2:]]
blobs = [open(p, "rb").read() for p in pngs]
header = struct.pack("<HHH", 0, 1, len(blobs))
offset = 6 + 16 * len(blobs)
entries = b""
for blob in blobs:
    w, h = struct.unpack(">II", blob[16:24])
    entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
    offset += len(blob)
open(out, "wb").write(header + entries + b"".join(blobs))
PY

log "vermix.exe (cross)"
asio=$out/asio-include
asio_version=$(dpkg-query -W -f='${Version}' libasio-dev)
if [ "$(cat "$asio/version" 2>/dev/null)" != "$asio_version" ]; then
  rm -rf "$asio"
  mkdir -p "$asio"
  cp -r /usr/include/asio.hpp /usr/include/asio "$asio/"
  echo "$asio_version" >"$asio/version"
fi
# From a clean cache when the libraries moved: found ones may name an older
# prefix, now gone.
grep -qxF "VERMIX_WINDOWS_PREFIX:UNINITIALIZED=$prefix" "$out/CMakeCache.txt" 2>/dev/null ||
  rm -f "$out/CMakeCache.txt"
# pkg-config answers from the cross prefix only, never the build machine's.
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH= VERMIX_WINDOWS_PREFIX=$prefix cmake -S "$root" -B "$out" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/ports/windows/toolchain.cmake" \
  -DVERMIX_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DVERMIX_TESTS=OFF -DVERMIX_BENCH=OFF -DVERMIX_WERROR="${VERMIX_WERROR:-0}" \
  -DVERMIX_SOUNDS_DIR="$native/data" -DVERMIX_WINDOWS_ICON="$out/vermix.ico" \
  -DVERMIX_ASIO_INCLUDE_DIR="$asio" >/dev/null
ninja -C "$out" -j2 vermix
x86_64-w64-mingw32-strip "$out/vermix.exe"

# Only Windows' own DLLs (the sockets' too) and OpenAL Soft, which ships
# beside the game.
imports=$(x86_64-w64-mingw32-objdump -p "$out/vermix.exe" | sed -n 's/.*DLL Name: //p')
for dll in $imports; do
  case ${dll,,} in
    kernel32.dll | msvcrt.dll | advapi32.dll | gdi32.dll | imm32.dll | ole32.dll | \
      oleaut32.dll | setupapi.dll | shell32.dll | user32.dll | version.dll | \
      winmm.dll | ws2_32.dll | mswsock.dll | openal32.dll) ;;
    *) log "vermix.exe needs $dll, which is not shipped"; exit 1 ;;
  esac
done

version=$(sed -n 's/^project(vermix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
stage=$out/stage/vermix-$version
rm -rf "$out/stage"
mkdir -p "$stage/data" "$stage/licences"
cp "$out/vermix.exe" "$prefix/bin/OpenAL32.dll" "$stage/"
cp "$native"/data/*.ogg "$stage/data/"
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"

# The licences: the game's font, and each bundled library's from its Debian
# source (debian/copyright, else the upstream COPYING).
licence() { sed 's/$/\r/' >"$stage/licences/$1.txt"; }
[ -f "$root/LICENSE" ] && licence vermix <"$root/LICENSE"
licence font <"$root/assets/fonts/LICENSE-font.txt"
while read -r entry; do
  name=${entry%%=*} version_=${entry#*=}
  version_=${version_#*:}
  upstream=${version_%-*}
  if [ -f "$src/${name}_${version_}.debian.tar.xz" ]; then
    tar -xJOf "$src/${name}_${version_}.debian.tar.xz" debian/copyright | licence "$name"
  else
    tar -xzOf "$src/${name}_${upstream}.orig.tar.gz" "$name-$upstream/COPYING" | licence "$name"
  fi
done <"$prefix/sources.txt"
licence zlib </usr/share/doc/libz-mingw-w64-dev/copyright
licence mingw-w64-runtime </usr/share/doc/mingw-w64-common/copyright
licence gcc-runtime </usr/share/doc/gcc-mingw-w64-base/copyright

zip=$out/vermix-$version-windows-x86_64.zip
rm -f "$zip"
(cd "$out/stage" && TZ=UTC find "vermix-$version" -exec touch -d @0 {} + &&
  zip -qrX "$zip" "vermix-$version")
log "wrote $zip ($(stat -c %s "$zip") bytes)"

setup=$out/vermix-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$out/vermix.ico" \
  -DOUTFILE="$setup" "$root/packaging/windows/installer.nsi"
log "wrote $setup ($(stat -c %s "$setup") bytes)"

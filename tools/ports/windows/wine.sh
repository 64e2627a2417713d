# Sourced by the scripts that run the Windows build under Wine:
#   . tools/ports/windows/wine.sh
# Runs the sourcing script again inside Xvfb when it is not there yet, sets
# up the shared Wine prefix, and gives:
#   windows_zip                the portable zip tools/build-windows.sh wrote
#   unpack_portable DIR        unzips it into DIR and prints the game's folder
#   quiet_audio FOLDER         OpenAL Soft beside an executable plays to nothing
if [ -z "${VERMIX_IN_XVFB:-}" ]; then
  exec env VERMIX_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export WINEPREFIX=${WINEPREFIX:-${VERMIX_PORTS_CACHE:-/var/cache/vermix-ports}/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
windows_build=${VERMIX_WINDOWS_BUILD:-$wine_root/build-windows}
windows_version=$(sed -n 's/^project(vermix VERSION \([0-9.]*\).*/\1/p' "$wine_root/CMakeLists.txt")
windows_zip=$windows_build/vermix-$windows_version-windows-x86_64.zip
[ -f "$windows_zip" ] || {
  echo "$windows_zip is missing: run tools/build-windows.sh" >&2
  exit 2
}

# No sound card here: OpenAL Soft plays to nothing when told so beside the
# executable.
quiet_audio() { printf '[general]\ndrivers=null\n' >"$1/alsoft.ini"; }

unpack_portable() {
  unzip -q "$windows_zip" -d "$1"
  quiet_audio "$1/vermix-$windows_version"
  echo "$1/vermix-$windows_version"
}

wineserver -k 2>/dev/null || true
wineboot -u >/dev/null 2>&1 || true

#!/usr/bin/env bash
# Checks the game as players get it, from a build folder already built:
#  - `cmake --install` to a prefix that is then moved: the .desktop entry,
#    the AppStream metainfo, the icons and the manual page are valid; the
#    entry is the desktop's handler of vermix:// links and has the action
#    "Host an online game";
#  - the .deb made by CPack declares its dependencies, installs with dpkg
#    into a scratch root (whose dpkg database holds the packages it depends on
#    as this machine has them) and is removed from it without a trace;
#  - both installed games, started from a read-only working folder (the .deb
#    one by its menu entry's Exec line), find their sounds and save the high
#    score under a temporary XDG_DATA_HOME; the .deb one, handed a link that
#    is no invite by that Exec line, refuses it with status 2.
#   tools/check-install.sh [BUILD_DIR]     (default: build/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
app=org.vermix.Vermix
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"  # the games run as nobody when this runs as root
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy

fail() {
  echo "check-install: $*" >&2
  exit 1
}

# Validators print notes on success too; only their status counts.
check_tree() {
  local tree=$1
  local entry=$tree/share/applications/$app.desktop
  desktop-file-validate "$entry" || fail "desktop entry"
  grep -qx 'MimeType=x-scheme-handler/vermix;' "$entry" &&
    grep -qx 'Exec=vermix --host' "$entry" ||
    fail "desktop entry: no vermix: handler or no host action"
  # The handler as the desktop finds it: from the cache that Debian's
  # trigger makes of the installed entries (made here in a copy).
  local apps=$scratch/apps-$(basename "$tree")
  mkdir -p "$apps/share" "$apps/config"
  cp -r "$tree/share/applications" "$apps/share/"
  update-desktop-database "$apps/share/applications"
  local handler
  handler=$(XDG_DATA_DIRS=$apps/share XDG_DATA_HOME=$apps/share \
    XDG_CONFIG_HOME=$apps/config XDG_CURRENT_DESKTOP= \
    xdg-mime query default x-scheme-handler/vermix)
  [ "$handler" = "$app.desktop" ] ||
    fail "vermix: links are opened by '$handler', not $app.desktop"
  appstreamcli validate --no-net --explain "$tree/share/metainfo/$app.metainfo.xml" ||
    fail "metainfo"
  for size in 16 22 24 32 48 64 128 256; do
    local icon=$tree/share/icons/hicolor/${size}x$size/apps/$app.png
    file "$icon" | grep -q "PNG image data, $size x $size," ||
      fail "icon $icon"
  done
  local warnings
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$tree/share/man/man6/vermix.6" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page: $warnings"
}

# play NAME COMMAND...: runs the command as the game with a script from a
# read-only working folder (as nobody when root, whom the mode would not
# stop) and checks that it loaded all 13 sounds and saved its high score in
# the temporary XDG_DATA_HOME.
play() {
  local name=$1
  shift
  local work=$scratch/work-$name xdg=$scratch/xdg-$name
  mkdir -p "$work" "$xdg"
  chmod 777 "$xdg"
  printf '%s\n' "1 button 1 down" "1 button 1 up" "5 dump $xdg/dump.jsonl" \
    "7 key 27 down" "7 key 27 up" >"$work/script.txt"
  chmod 555 "$work"
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  (cd "$work" && XDG_DATA_HOME=$xdg "${as[@]}" "$@" \
    --window --fast --seed 1 --script script.txt) || fail "$name: the game failed"
  [ "$(stat -c %s "$xdg/vermix/hiscore.dat" 2>/dev/null)" = 4 ] ||
    fail "$name: no high score in $xdg/vermix"
  grep -q '"sounds_loaded":13' "$xdg/dump.jsonl" ||
    fail "$name: the sounds were not found"
  [ -z "$(ls -A "$work" | grep -v '^script.txt$')" ] ||
    fail "$name: wrote into its working folder"
}

echo "check-install: cmake --install, moved after installing"
cmake --install "$build" --prefix "$scratch/installed" >/dev/null
mv "$scratch/installed" "$scratch/moved"
check_tree "$scratch/moved"
play moved "$scratch/moved/bin/vermix"

echo "check-install: the .deb"
rm -f "$build"/vermix_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
deb=$(ls "$build"/vermix_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libopenal1 libepoxy0 libfreetype6 libpng16 libvorbisfile3 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
for package in $(sed 's/([^)]*)//g; s/[,|]/ /g' <<<"$depends"); do
  dpkg-query -s "$package" >>"$root/var/lib/dpkg/status" ||
    fail "dependency $package is not installed here"
  echo >>"$root/var/lib/dpkg/status"
  # Their files are on this machine, not in the root: empty file lists.
  touch "$root/var/lib/dpkg/info/$(dpkg-query -W -f='${binary:Package}' "$package").list"
done
dpkg --root="$root" --log=/dev/null -i "$deb" >/dev/null || fail "dpkg -i"
# The main entry's Exec line, the first; %u stands for the link, which a
# start from the menu leaves out.
exec_line=$(sed -n '0,/^Exec=/s/^Exec=//p' "$root/usr/share/applications/$app.desktop")
check_tree "$root/usr"
play deb env PATH="$root/usr/bin:$PATH" ${exec_line/ %u/}
status=0
said=$(env PATH="$root/usr/bin:$PATH" ${exec_line/\%u/vermix://join/NOT-A-CODE} 2>&1) ||
  status=$?
[ "$status" = 2 ] && grep -q "is not an invite link" <<<"$said" ||
  fail "a link that is no invite: status $status, $said"
dpkg --root="$root" --log=/dev/null --purge vermix >/dev/null || fail "dpkg --purge"
left=$(find "$root" -path "$root/var/lib/dpkg" -prune -o -type f -print)
[ -z "$left" ] || fail "left after removal: $left"
echo "check-install: all good"

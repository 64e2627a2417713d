#!/usr/bin/env bash
# Tests the Windows build under Wine and Xvfb, after tools/build-windows.sh:
#   tools/test-windows.sh
# - every golden replay (tests/replays) and every reference screen, played
#   and taken by vermix.exe: the native test program runs the same tests with
#   the Windows game standing in for the Linux one (VERMIX_TEST_GAME);
# - online versus: the Linux game hosts and vermix.exe joins over loopback
#   through the native tests' misbehaving proxy, by stick and by keyboard;
#   both end in order with byte-identical recordings;
# - a high score saved and read back in the portable layout (the zip) and in
#   the installed layout (the installer, run with /S);
# - the installed game started through its Start-menu shortcut's target;
# - the installer's vermix: URL protocol (the command that opens a link) and
#   its "Host an online game" shortcut;
# - the uninstaller leaving no files, shortcuts or registry entries behind.
# Ends with "N passed, M failed"; the exit status is 1 if any failed.
set -euo pipefail
shopt -s inherit_errexit

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/ports/windows/wine.sh"
. "$root/tools/ports/native-tests.sh"
setup=$windows_build/vermix-$windows_version-setup.exe
[ -f "$setup" ] || { echo "test-windows: $setup is missing: run tools/build-windows.sh" >&2; exit 2; }

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }

work=$(mktemp -d)
finish() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# The portable game, unpacked as a player would.
portable=$(unpack_portable "$work")

# --- golden replays and reference screens ------------------------------------------
build_native_tests
wrapper=$work/vermix-under-wine
cat >"$wrapper" <<WRAP
#!/bin/sh
# vermix.exe in the test's working folder; SDL's own Windows video driver.
unset SDL_VIDEODRIVER
exec wine "$portable/vermix.exe" "\$@"
WRAP
chmod +x "$wrapper"
# The online tests keep the Linux game as the host and let vermix.exe join.
online_tests=(
  OnlineGame.TwoMachinesThroughABadLinkPlayTheRecordedVersusGame
  OnlineGame.AGuestWithoutAStickPlaysWithTheKeyboard
)
for t in "${native_port_tests[@]}" "${online_tests[@]}"; do
  if VERMIX_TEST_GAME=$wrapper play_native_test "$t" "$work/gtest.log"; then
    pass "$t"
  else
    fail "$t"
    tail -n 30 "$work/gtest.log"
  fi
done

# --- high scores ---------------------------------------------------------------------
# The heavy replay's input as a plain script: the game saves what it scored
# (a replay leaves the player's files alone).
grep -v '^#!' "$root/tests/replays/heavy.replay" >"$work/score.txt"
want_score=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["high_score"])' \
  "$root/tests/replays/heavy.final.json")
printf '1 button 1 down\n1 button 1 up\n5 dump %s\n7 key 27 down\n7 key 27 up\n' \
  "$(winepath -w "$work/readback.jsonl")" >"$work/readback.txt"
score_in() { python3 -c 'import struct,sys; print(struct.unpack("<i", open(sys.argv[1],"rb").read(4))[0])' "$1"; }

# high_score_round LABEL EXE SAVES_FOLDER: scores, then reads the score back.
high_score_round() {
  local label=$1 exe=$2 saves=$3
  rm -f "$work/readback.jsonl"
  if ! wine "$exe" --window --fast --seed 2 --script "$(winepath -w "$work/score.txt")" \
    >"$work/run.log" 2>&1; then
    fail "$label: scoring run"
    cat "$work/run.log"
    return
  fi
  if [ ! -f "$saves/hiscore.dat" ] || [ "$(score_in "$saves/hiscore.dat")" != "$want_score" ]; then
    fail "$label: hiscore.dat in $saves holds $want_score"
    return
  fi
  if wine "$exe" --window --fast --seed 1 --script "$(winepath -w "$work/readback.txt")" \
    >"$work/run.log" 2>&1 &&
    [ "$(python3 -c 'import json,sys; print(json.loads(open(sys.argv[1]).readline())["high_score"])' \
      "$work/readback.jsonl")" = "$want_score" ]; then
    pass "$label: high score $want_score saved in $saves and read back"
  else
    fail "$label: high score read back"
    cat "$work/run.log"
  fi
}

# where_says EXE LAYOUT: --where names the layout.
where_says() {
  local where
  where=$(wine "$1" --where 2>&1 | tr -d '\r')
  if grep -qx "layout: *$2" <<<"$where"; then
    pass "--where: $2"
  else
    fail "--where: want $2, got: $where"
  fi
}

cd "$portable" && where_says "$portable/vermix.exe" portable
cd "$portable" && high_score_round portable "$portable/vermix.exe" "$portable/data"
cd "$work"
rm -f "$portable/data/hiscore.dat" "$portable/data/anaglyph3d.dat"

# --- installer, shortcut, installed layout, uninstaller ---------------------------
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vermix'
drive_c=$WINEPREFIX/drive_c
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
rm -rf "$appdata/Vermix"
if wine "$setup" /S && wineserver -w && wine reg query "$key" >/dev/null 2>&1; then
  pass "installer /S: entry in the installed programs"
else
  fail "installer /S"
fi
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
protocol='HKLM\Software\Classes\vermix'
command=$(wine reg query "$protocol\shell\open\command" /ve 2>/dev/null | tr -d '\r' || true)
if wine reg query "$protocol" /v "URL Protocol" >/dev/null 2>&1 &&
  grep -qF '\vermix.exe" "%1"' <<<"$command"; then
  pass "installer: the vermix: URL protocol opens links in vermix.exe"
else
  fail "installer: no vermix: URL protocol, or its command is: $command"
fi
if [ -f "$start_menu/Vermix - Host an online game.lnk" ] &&
  grep -qaF -- "--host" <(tr -d '\000' <"$start_menu/Vermix - Host an online game.lnk"); then
  pass "Start-menu shortcut: Host an online game (--host)"
else
  fail "Start-menu shortcut: Host an online game"
fi
lnk=$start_menu/Vermix.lnk
[ -f "$lnk" ] || lnk=""
# The shortcut's target, as the shell link's local base path holds it.
target=$( [ -n "$lnk" ] && python3 -c '
import re, sys
data = open(sys.argv[1], "rb").read()
m = re.search(rb"[A-Z]:\\[ -~]*?\.exe", data)
print(m.group(0).decode() if m else "")' "$lnk" || true)
if [ -n "$target" ]; then
  pass "Start-menu shortcut: $target"
  installed=$(winepath -u "$target")
  folder=$(dirname "$installed")
  quiet_audio "$folder"
  cd "$folder" && where_says "$installed" installed
  cd "$folder" && high_score_round installed "$installed" "$appdata/Vermix"
  if [ -e "$folder/data/hiscore.dat" ]; then fail "installed: nothing saved in Program Files"; fi
  cd "$work"
  rm -f "$folder/alsoft.ini"
else
  fail "Start-menu shortcut with a target"
  folder=$drive_c/Program\ Files/Vermix
fi

wine "$folder/uninstall.exe" /S || true
wineserver -w
left=""
[ -e "$folder" ] && left+=" $folder"
left+=$(find "$start_menu" -iname '*vermix*' -printf ' %p')
wine reg query "$key" >/dev/null 2>&1 && left+=" $key"
wine reg query "$protocol" >/dev/null 2>&1 && left+=" $protocol"
if [ -z "$left" ]; then
  pass "uninstaller: no files, shortcuts or registry entries left"
else
  fail "uninstaller left:$left"
fi
rm -rf "$appdata/Vermix"  # the player's saves stay on uninstalling; not here

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Writes the README's three pictures, made by the game itself through its
# script's screenshot event: docs/title.png, docs/play-flat.png and
# docs/play-3d.png. The same build, seed and script give the same pictures,
# so they are made again after the art changes:
#   tools/review/make-screenshots.sh [BUILD_DIR]   (default: build/, built)
#   tools/review/make-screenshots.sh --windows     by vermix.exe under Wine,
#                                                  after tools/build-windows.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
if [ "${1:-}" = "--windows" ]; then
  . "$here/tools/ports/windows/wine.sh"
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  build=$(unpack_portable "$work/windows")
  game=(wine "$build/vermix.exe")
else
  trap 'rm -rf "$work"' EXIT
  build=$(cd "${1:-$here/build}" && pwd)
  game=("$build/vermix")
  export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
fi
mkdir -p "$here/docs" "$work/shots"

# shoot NAME SCRIPT_LINES...: a fresh portable folder (sounds, no saved
# files), the script, and the picture taken at its end.
shoot() {
  local name=$1
  shift
  rm -rf "$work/shots"/*
  mkdir "$work/shots/data"
  cp "$build"/data/*.ogg "$work/shots/data/"
  printf '%s\n' "$@" >"$work/shots/script.txt"
  (cd "$work/shots" && "${game[@]}" --window --fast --seed 7 --script script.txt)
  cp "$work/shots/shot.png" "$here/docs/$name.png"
}

# The opening logo ends at a click; menu line i is at y = 260 + 20 i.
skip_intro=("1 button 1 down" "1 button 1 up")
start_game=("20 mouse 320 260" "21 button 1 down" "21 button 1 up")

shoot title "${skip_intro[@]}" "5 mouse 320 420" "30 screenshot shot.png" "31 end"
shoot play-flat "${skip_intro[@]}" "${start_game[@]}" \
  "400 screenshot shot.png" "401 end"
# 3D Graphics to R\C (three clicks), Hologram Intensity up by three steps.
shoot play-3d "${skip_intro[@]}" "5 mouse 320 280" \
  "6 button 1 down" "6 button 1 up" "8 button 1 down" "8 button 1 up" \
  "10 button 1 down" "10 button 1 up" "12 mouse 320 300" \
  "13 button 1 down" "13 button 1 up" "15 button 1 down" "15 button 1 up" \
  "17 button 1 down" "17 button 1 up" "${start_game[@]}" \
  "400 screenshot shot.png" "401 end"
echo "make-screenshots: docs/title.png docs/play-flat.png docs/play-3d.png"

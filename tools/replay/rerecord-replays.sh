#!/usr/bin/env bash
# Records the golden replays again from their source scripts, after a change
# that is meant to change play, and says which replays changed.
#   tools/replay/rerecord-replays.sh [BUILD_FOLDER]     (default: build)
# Every tests/replays/sources/NAME.script gives tests/replays/NAME.replay and
# NAME.final.json (the game's state at the end). A '# seed N' line in the
# script gives the seed (default 1). Commit what changed.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
replays="$here/tests/replays"
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for source in "$replays"/sources/*.script; do
  name=$(basename "$source" .script)
  seed=$(sed -n 's/^# seed \([0-9-]*\)$/\1/p' "$source" | head -n 1)
  # A fresh folder each time: no saved high score or settings carry over.
  rm -rf "$work/run" && mkdir -p "$work/run/data"
  cp "$build"/data/*.ogg "$work/run/data/"
  (cd "$work/run" && "$build/vermix" --window --fast --seed "${seed:-1}" \
    --script "$source" --record replay --dump-every 1000000000 final.jsonl)
  tail -n 1 "$work/run/final.jsonl" >"$work/run/final.json"
  status=new
  if [ -f "$replays/$name.replay" ]; then
    if cmp -s "$work/run/replay" "$replays/$name.replay" &&
      cmp -s "$work/run/final.json" "$replays/$name.final.json"; then
      status=unchanged
    else
      status=changed
    fi
  fi
  cp "$work/run/replay" "$replays/$name.replay"
  cp "$work/run/final.json" "$replays/$name.final.json"
  echo "$name: $status"
done

#!/usr/bin/env bash
# The heavy replay's timedemo in two builds, side by side: invocations of
# `vermix --timedemo REPLAY --repeat 5` alternate between the builds, so that
# both meet the same load on a shared machine.
#   tools/review/compare-timedemo.sh BASE_BUILD NEW_BUILD [rounds, default 3]
# Prints, per build, each invocation's median fps of its 5 runs, the median of
# those, the range of the median frame times and the median first frame,
# the new/base ratio of the fps, and the machine's load before and after.
# REPLAY (default tests/replays/heavy.replay) names another replay.
set -euo pipefail
base=$1
new=$2
rounds=${3:-3}
replay=$(realpath "${REPLAY:-$(dirname "$0")/../../tests/replays/heavy.replay}")
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} ALSOFT_DRIVERS=null \
  SDL_AUDIODRIVER=dummy
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "load before: $(uptime)"
for round in $(seq "$rounds"); do
  for build in base new; do
    dir=$base
    [ "$build" = new ] && dir=$new
    # In the build folder, as a player starts it: the sounds are its own.
    (cd "$dir" && ./vermix --timedemo "$replay" --repeat 5) 2>&1 |
      grep '^timedemo:' >"$out/$build-$round.txt"
  done
done
echo "load after:  $(uptime)"
python3 - "$out" "$base" "$new" <<'PY'
import glob, os, re, statistics, sys
out, dirs = sys.argv[1], {"base": sys.argv[2], "new": sys.argv[3]}
line = re.compile(r"median ([\d.]+), .*median frame time ([\d.]+) to ([\d.]+) ms")
first = re.compile(r"max ([\d.]+) ms \(frame 1\)")
fps = {}
for build in ("base", "new"):
    rows = []
    for path in sorted(glob.glob(os.path.join(out, f"{build}-*.txt"))):
        text = open(path).read()
        m = line.search(text)
        if not m:
            sys.exit(f"{build}: no timedemo summary in {path}")
        # The first frame of the first run, when it is the longest.
        f = first.search(text.splitlines()[0])
        rows.append(tuple(float(g) for g in m.groups()) +
                    (float(f.group(1)) if f else float("nan"),))
    fps[build] = statistics.median(r[0] for r in rows)
    print(f"{build} ({dirs[build]}): median fps of each invocation:",
          " ".join(f"{r[0]:.1f}" for r in rows))
    print(f"  median of those {fps[build]:.1f} fps; median frame"
          f" {min(r[1] for r in rows):.2f} to {max(r[2] for r in rows):.2f} ms;"
          f" first frame {statistics.median(r[3] for r in rows):.0f} ms")
print(f"new/base fps {fps['new'] / fps['base']:.2f}")
PY

#!/usr/bin/env bash
# The whole frame's cost in two builds, side by side: the runs of the two
# builds alternate, so that both see the same load on a shared machine.
#   tools/review/compare-frames.sh BASE_BUILD NEW_BUILD [rounds, default 3]
# Prints, per scale and mode, the median, 99th percentile and maximum of the
# single frames' process CPU time and real time in ms, and new/base ratios of
# the medians.
# The frames are drawn in a real X window on a private Xvfb when there is one:
# a window of the offscreen driver keeps the size it was made with, so a build
# that makes its window at scale 1 and then grows it would draw only a quarter
# of the scale 2 window there. Set SDL_VIDEODRIVER to choose otherwise.
set -euo pipefail
base=$1
new=$2
rounds=${3:-3}
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
out=$(mktemp -d)
xvfb=
trap 'rm -rf "$out"; [ -z "$xvfb" ] || kill "$xvfb"' EXIT
trap 'exit 1' INT TERM
if [ -z "${SDL_VIDEODRIVER:-}" ] && command -v Xvfb >/dev/null; then
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  read -r -u "$fd" display
  export DISPLAY=":$display" SDL_VIDEODRIVER=x11
fi
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
echo "video driver: $SDL_VIDEODRIVER"
for round in $(seq "$rounds"); do
  for scale in 1 2; do
    for build in base new; do
      dir=$base
      [ "$build" = new ] && dir=$new
      VERMIX_BENCH_SCALE=$scale "$dir/vermix_bench" \
        --benchmark_filter='BM_Frame/stage:(0|4)/' --benchmark_min_time=1 \
        --benchmark_format=json >"$out/$build-$scale-$round.json" 2>/dev/null
    done
  done
done
python3 - "$out" <<'PY'
import glob, json, os, statistics, sys
rows = {}
for path in glob.glob(os.path.join(sys.argv[1], "*.json")):
    build, scale, _ = os.path.basename(path)[:-5].split("-")
    for b in json.load(open(path))["benchmarks"]:
        key = (scale, b["name"])
        rows.setdefault(key, {}).setdefault(build, []).append(b)
print(f"{'scale':>5} {'frame':<28} {'build':<5} {'cpu p50':>8} {'p99':>7} {'max':>7}"
      f" {'real p50':>9} {'p99':>7} {'max':>7}")
for (scale, name), builds in sorted(rows.items()):
    med = {}
    for build in ("base", "new"):
        runs = builds.get(build, [])
        if not runs:
            continue
        pick = lambda k: statistics.median(r[k] for r in runs)
        med[build] = (pick("cpu_p50"), pick("real_p50"))
        print(f"{scale:>5} {name:<28} {build:<5} {pick('cpu_p50'):8.2f}"
              f" {pick('cpu_p99'):7.2f} {max(r['cpu_max'] for r in runs):7.2f}"
              f" {pick('real_p50'):9.2f} {pick('real_p99'):7.2f}"
              f" {max(r['real_max'] for r in runs):7.2f}")
    if len(med) == 2:
        print(f"{'':>5} {'':<28} new/base cpu {med['new'][0] / med['base'][0]:.2f}"
              f" real {med['new'][1] / med['base'][1]:.2f}")
PY

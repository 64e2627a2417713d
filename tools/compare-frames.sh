#!/usr/bin/env bash
# The whole frame's cost in two builds, side by side: the runs of the two
# builds alternate, so that both see the same load on a shared machine.
#   tools/compare-frames.sh BASE_BUILD NEW_BUILD [rounds, default 3]
# Prints, per scale and mode, the median, 99th percentile and maximum of the
# single frames' process CPU time and real time in ms, and new/base ratios of
# the medians.
set -euo pipefail
base=$1
new=$2
rounds=${3:-3}
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
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

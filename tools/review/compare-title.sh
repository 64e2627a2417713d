#!/usr/bin/env bash
# Start-up and the idle title in two builds, side by side: the runs of the two
# builds alternate, so that both see the same load on a shared machine.
#   tools/review/compare-title.sh BASE_BUILD NEW_BUILD [rounds, default 3]
# Start-up: a run that ends as soon as the title is up (real and CPU time of
# the whole process, exit included). Idle title: 600 paced frames of the
# title in stereo mode 1 (or flat), told from the short run by difference;
# frames per second and the share of one core used.
set -euo pipefail
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
python3 - "$@" <<'PY'
import os, resource, shutil, statistics, subprocess, sys, tempfile, time
base, new = (os.path.abspath(p) for p in sys.argv[1:3])
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
idle = 600

def script(mode_clicks, last):
    lines = ["1 button 1 down", "1 button 1 up"]
    t = 8
    for _ in range(mode_clicks):  # the first menu line steps the stereo mode
        lines += [f"{t} mouse 320 280", f"{t + 1} button 1 down", f"{t + 1} button 1 up"]
        t += 4
    return "\n".join(lines + [f"{t + last} end"]) + "\n", t + last

def run(build, mode_clicks, last):
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(os.path.join(build, "data"), os.path.join(folder, "data"))
        text, ticks = script(mode_clicks, last)
        open(os.path.join(folder, "script.txt"), "w").write(text)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.monotonic()
        subprocess.run([os.path.join(build, "vermix"), "--window", "--scale", "1",
                        "--seed", "1", "--script", "script.txt"], cwd=folder,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        real = time.monotonic() - t0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        return real, cpu, ticks

results = {}
for _ in range(rounds):
    for name, build in (("base", base), ("new", new)):
        for view, clicks in (("flat", 0), ("3d", 1)):
            short = run(build, clicks, 2)
            long = run(build, clicks, 2 + idle)
            r = results.setdefault((name, view), {"start_real": [], "start_cpu": [], "fps": [], "core": []})
            r["start_real"].append(short[0] * 1e3)
            r["start_cpu"].append(short[1] * 1e3)
            dr, dc = long[0] - short[0], long[1] - short[1]
            r["fps"].append(idle / dr)
            r["core"].append(100 * dc / dr)
print(f"{'build':<5} {'title':<5} {'start-up real ms':>16} {'cpu ms':>7} {'idle fps':>9} {'% core':>7}")
for (name, view), r in sorted(results.items(), key=lambda kv: (kv[0][1], kv[0][0])):
    m = {k: statistics.median(v) for k, v in r.items()}
    print(f"{name:<5} {view:<5} {m['start_real']:16.0f} {m['start_cpu']:7.0f} {m['fps']:9.1f} {m['core']:7.0f}")
PY

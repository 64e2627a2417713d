#!/usr/bin/env python3
"""Draws the game's include graph by folder and checks its floors.

    tools/review/include-graph.py           check; fails on a wrong arrow
    tools/review/include-graph.py --draw    also prints every folder arrow

Each folder stands on a floor; a file may include files of its own folder
and of lower floors only. A module (a .cpp with its .h) may not include one
that includes it back, directly or round a longer cycle. Above the platform,
a file reaches the machine only through platform/platform.h: its <...>
includes are the C++ standard library's and the JSON reader's. The online
messages use the standard library alone (the server shares them), and the
transport beneath the session adds Asio. The server (server/) has floors of
its own beside the game's and includes nothing of the game but the
messages; its network side adds Boost.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent

# Lowest first. The platform's face (platform.h) lies below its rooms.
FLOORS = [
    ["assets", "platform", "online/protocol"],
    ["platform/system", "online/transport"],
    ["platform/video/gl", "platform/audio"],
    ["platform/video"],
    ["platform/input", "online/session"],
    ["replay", "world", "online/rooms"],
    ["render"],
    ["actors", "enemies"],
    ["app"],
]
# The server stands apart: it includes the messages and nothing else of the
# game. Its own floors, lowest first.
SERVER_FLOORS = [
    ["server/http", "server/state"],
    ["server/rooms"],
    ["server/config"],
    ["server/net"],
    ["server"],
]
SHARED_WITH_SERVER = "online/protocol"
for n, folders in enumerate(SERVER_FLOORS):
    for folder in folders:
        FLOORS[n].append(folder)
FLOOR = {folder: n for n, folders in enumerate(FLOORS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)
STANDARD = re.compile(r"^[a-z_]+$")
ABOVE_PLATFORM = FLOOR["replay"]
ALLOWED_LIBRARIES = {"nlohmann/json.hpp"}
# Folders below the game held to the standard library and these.
# A name ending in "/" allows every header under it.
OWN_LIBRARIES = {"online/protocol": set(), "online/rooms": set(),
                 "online/transport": {"asio.hpp", "emscripten/websocket.h"},
                 "server/http": {"zlib.h"}, "server/rooms": set(),
                 "server/config": set(),
                 "server/state": {"fcntl.h", "sys/random.h", "sys/stat.h",
                                  "unistd.h"},
                 "server/net": {"boost/"}, "server": {"boost/"}}


def main():
    files = sorted(p for f in FLOOR for p in (ROOT / f).glob("*.[ch]*")
                   if p.suffix in (".cpp", ".h"))
    arrows, faults, modules = {}, [], {}
    for path in files:
        name = path.relative_to(ROOT).as_posix()
        here = name.rsplit("/", 1)[0]
        text = path.read_text()
        if FLOOR[here] >= ABOVE_PLATFORM or here in OWN_LIBRARIES:
            allowed = OWN_LIBRARIES.get(here, ALLOWED_LIBRARIES)
            for target in SYSTEM_INCLUDE.findall(text):
                if not STANDARD.match(target) and target not in allowed and \
                        not any(a.endswith("/") and target.startswith(a)
                                for a in allowed):
                    faults.append(f"{name}: includes <{target}>, which {here}/ "
                                  "may not")
        for target in INCLUDE.findall(text):
            there = target.rsplit("/", 1)[0]
            if there not in FLOOR:
                faults.append(f"{name}: includes {target}, outside every floor")
                continue
            arrows.setdefault((here, there), []).append(name)
            if (here.split("/")[0] == "server") != \
                    (there.split("/")[0] == "server") and \
                    there != SHARED_WITH_SERVER:
                faults.append(f"{name}: includes {target}: the server and "
                              "the game share only online/protocol/")
            if there != here and FLOOR[there] >= FLOOR[here]:
                faults.append(f"{name}: includes {target}, not on a lower floor")
            src, dst = name.rsplit(".", 1)[0], target.rsplit(".", 1)[0]
            if src != dst:
                modules.setdefault(src, set()).add(dst)
    faults += cycles(modules)
    if "--draw" in sys.argv:
        for (a, b), by in sorted(arrows.items()):
            if a != b:
                print(f"{a} -> {b} ({len(by)})")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


def cycles(graph):
    """A line for every module that is reached again from itself."""
    found, state = [], {}

    def visit(node, path):
        state[node] = 1
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                loop = path[path.index(nxt):] + [nxt]
                found.append("include cycle: " + " -> ".join(loop))
            elif nxt not in state:
                visit(nxt, path + [nxt])
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])
    return found


if __name__ == "__main__":
    sys.exit(main())

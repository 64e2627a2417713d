#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/install-deps.sh"
# The same build folder and build type as tools/test.sh, so the two never undo
# each other's work; only the game itself is built here.
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target vermix
cd "$here/build"
exec ./vermix "$@"

#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DVERMIX_TESTS=OFF -DVERMIX_BENCH=OFF >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target vermix
cd "$here/build"
exec ./vermix "$@"

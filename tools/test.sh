#!/usr/bin/env bash
# Installs what is missing, builds the game and runs every test.
#   tools/test.sh              plain build in build/
#   tools/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
# VERMIX_WERROR=1 turns warnings into errors.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/install-deps.sh"

dir="$here/build"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERMIX_TESTS=ON -DVERMIX_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir="$here/build-asan"
  flags=(-DCMAKE_BUILD_TYPE=Debug -DVERMIX_SANITIZE=ON -DVERMIX_TESTS=ON -DVERMIX_BENCH=OFF)
fi
if [ "${VERMIX_WERROR:-0}" = "1" ]; then
  flags+=(-DVERMIX_WERROR=ON)
fi

cmake -S "$here" -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd "$dir"
# A run that finds no test is a failure, not a pass.
ctest --output-on-failure --no-tests=error -j"$(nproc)" --timeout 300

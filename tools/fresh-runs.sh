#!/usr/bin/env bash
# Runs the whole test suite of a built tree N times, each time as a first run
# on a new machine would: a new home, no GL shader cache, a new temporary
# folder. Prints one line a run (with what the tests left behind in the home
# and the temporary folder) and fails if any run failed.
#   tools/fresh-runs.sh N [BUILD_DIR]      (default: build)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:?how many runs}
dir=$(cd "${2:-$here/build}" && pwd)
failed=0
for ((i = 1; i <= runs; i++)); do
  scratch=$(mktemp -d)
  mkdir -p "$scratch/home" "$scratch/tmp"
  # Open to other users as /tmp is: some tests run the game as nobody.
  chmod 0755 "$scratch"
  chmod 1777 "$scratch/tmp"
  log="$scratch/ctest.log"
  start=$(date +%s)
  (cd "$dir" && HOME="$scratch/home" XDG_CACHE_HOME="$scratch/home/.cache" \
    TMPDIR="$scratch/tmp" MESA_SHADER_CACHE_DISABLE=true \
    ctest --no-tests=error -j"$(nproc)" --timeout 300 >"$log" 2>&1)
  status=$?
  summary=$(grep -E 'tests passed|No tests were found' "$log" | tail -n 1)
  # What the tests left behind in the temporary folder and the home.
  left=$(find "$scratch/tmp" "$scratch/home" -mindepth 1 -maxdepth 1 | wc -l)
  echo "run $i: status $status, $(( $(date +%s) - start )) s, $left left behind, $summary"
  if [ "$status" -ne 0 ]; then
    failed=$((failed + 1))
    grep -E '^\s+[0-9]+ - ' "$log"
    cp "$log" "$here/fresh-run-$i.log"
  fi
  rm -rf "$scratch"
done
echo "$((runs - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]

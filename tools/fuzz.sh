#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each one for a
# fixed time on a scratch copy of its corpus, so fuzz/corpus/ stays as it is.
# Any crash, sanitizer report, leak, hang or failed check fails the script;
# the input behind it is kept in build-fuzz/findings/.
#   tools/fuzz.sh [seconds per target, default 30]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
"$here/tools/install-deps.sh"

dir="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$dir" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERMIX_FUZZ=ON -DVERMIX_WERROR=ON \
  >/dev/null
cmake --build "$dir" -j"$(nproc)"

# On tmpfs where there is one: the data-file targets save (and fsync) on
# every run.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$dir/findings"
mkdir -p "$findings"

passed=0
failed=0
for target in input_script sound_decode high_score anaglyph message_decode \
    server_dispatch; do
  corpus="$work/corpus-$target"
  cp -r "$here/fuzz/corpus/$target" "$corpus"
  args=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
        -artifact_prefix="$findings/$target-")
  if [ -f "$here/fuzz/$target.dict" ]; then
    args+=(-dict="$here/fuzz/$target.dict")
  fi
  log="$work/$target.log"
  # The data-file targets write their files under TMPDIR.
  if TMPDIR="$work" "$dir/${target}_fuzz" "${args[@]}" "$corpus" >"$log" 2>&1
  then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: ${runs:-?} runs in $seconds s, no findings"
    passed=$((passed + 1))
  else
    echo "fuzz $target: FAILED, input kept in $findings/" >&2
    tail -n 60 "$log" >&2
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

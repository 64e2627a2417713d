#!/usr/bin/env bash
# What two builds ask of the GL while they play the same replay, compared
# call by call: Mesa's gallium trace (GALLIUM_TRACE) records every call the
# GL passes to its driver (llvmpipe here) with its state: framebuffer and
# texture sizes, sampler filters, blend state, shaders, blits, draws. Unlike
# a timing, the answer does not depend on the machine's load.
#   tools/review/compare-gl-work.sh BASE_BUILD NEW_BUILD
# Prints the kinds of call whose counts differ and the first differences of
# the normalised traces (call numbers and times left out, objects numbered
# as they are made); exits 0 when the GL work is the same, 1 when it differs.
# REPLAY (default tests/replays/heavy.replay) names another replay.
set -euo pipefail
base=$1
new=$2
replay=$(realpath "${REPLAY:-$(dirname "$0")/../../tests/replays/heavy.replay}")
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} ALSOFT_DRIVERS=null \
  SDL_AUDIODRIVER=dummy
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for build in base new; do
  dir=$base
  [ "$build" = new ] && dir=$new
  (cd "$dir" && GALLIUM_TRACE="$out/$build.xml" ./vermix --timedemo "$replay") |
    grep '^timedemo:' || true
  [ -s "$out/$build.xml" ] || {
    echo "no gallium trace from $dir: is the GL Mesa's?" >&2
    exit 2
  }
  # Each object's pointer becomes a number given where the call that makes it
  # returns it (or maps it: xfer), so that which state a draw binds is still
  # compared while the heap's addresses are not.
  perl -ne 'next if /<time>/; s/ no=.[0-9]+.//; my $made = /<ret>|=.xfer./;
    s/0x[0-9a-f]+/"p" . ($made || !$id{$&} ? ($id{$&} = ++$n) : $id{$&})/ge;
    print' "$out/$build.xml" >"$out/$build.txt"
  rm "$out/$build.xml"
  grep -o "method='[a-z_]*'" "$out/$build.txt" | sort | uniq -c |
    awk '{print $2, $1}' >"$out/$build-calls.txt"
done
echo "calls of each kind whose count differs (base, new):"
join -a1 -a2 -e0 -o0,1.2,2.2 "$out/base-calls.txt" "$out/new-calls.txt" |
  awk '$2 != $3 {printf "  %-40s %8d %8d\n", $1, $2, $3; n++}
       END {if (!n) print "  none"}'
if diff -q "$out/base.txt" "$out/new.txt" >/dev/null; then
  echo "the same GL work"
  exit 0
fi
echo "the GL work differs; first differences (base <, new >):"
diff "$out/base.txt" "$out/new.txt" | head -40 || true
exit 1

#!/usr/bin/env bash
# Makes the committed reference screens (tests/references/screens) anew from
# what the game draws now, after an intended change of the picture:
#   tools/review/update-screen-references.sh [build folder, default build/]
# Review the changed pictures with git before committing them.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
dir=${1:-"$here/build"}
cmake --build "$dir" -j"$(nproc)" --target vermix vermix_tests
rm -f "$here"/tests/references/screens/*.png
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
export VERMIX_UPDATE_REFERENCES=1
# One test per process, as ctest runs them: the game world is made once per
# process.
for t in $("$dir/vermix_tests" --gtest_list_tests --gtest_filter='ScreenReference*' |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }'); do
  "$dir/vermix_tests" --gtest_filter="$t" --gtest_brief=1
done
ls "$here"/tests/references/screens | wc -l | xargs echo "reference screens:"

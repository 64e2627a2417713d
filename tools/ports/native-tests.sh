# Sourced by the ports' test scripts (after setting $root): the native test
# program's tests that a port's game plays in place of the Linux one, given
# as VERMIX_TEST_GAME by the caller.
#   build_native_tests; for t in "${native_port_tests[@]}"; do
#     VERMIX_TEST_GAME=... play_native_test "$t" LOG; done

native_port_tests=(
  GoldenReplays.EachPlaysAsRecordedToItsFinalState
  ScreenReferences.FlatTitle ScreenReferences.FlatGameAndPause
  ScreenReferences.StereoModesAtScaleOne ScreenReferences.StereoModesAtScaleTwo
)
native_tests_build=${VERMIX_NATIVE_TESTS_BUILD:-$root/build}

# The native test program, in tools/test.sh's build (configured when absent,
# configured again when present: its game then bears the build name of the
# sources as they are, as the port's does, so the two play online).
build_native_tests() {
  if [ -f "$native_tests_build/CMakeCache.txt" ]; then
    cmake "$native_tests_build" >/dev/null
  else
    cmake -S "$root" -B "$native_tests_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVERMIX_TESTS=ON >/dev/null
  fi
  cmake --build "$native_tests_build" -j2 --target vermix_tests >/dev/null
}

# play_native_test NAME LOG: runs the one test, its output into LOG.
play_native_test() {
  "$native_tests_build/vermix_tests" --gtest_filter="$1" --gtest_brief=1 >"$2" 2>&1
}

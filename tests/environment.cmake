# Read by ctest after the discovered test list: every test runs offscreen and
# silent, whatever the machine has, so no real sound system is ever probed.
# (gtest_discover_tests' own PROPERTIES keep only the first entry of a list.)
set_tests_properties(${vermix_tests_TESTS} PROPERTIES
  ENVIRONMENT "SDL_VIDEODRIVER=offscreen;ALSOFT_DRIVERS=null;SDL_AUDIODRIVER=dummy")

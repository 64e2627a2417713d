// Included by the file that defines main. On Windows SDL supplies the
// program's entry point, which calls main (renamed SDL_main by SDL's compile
// flags, so it must have C linkage) with the command line in UTF-8.
#pragma once

#ifdef _WIN32
#include <SDL_main.h>
#endif

// Windows' API, without its min and max macros and rarely used parts.
#pragma once

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
// The C++ runtime may have asked for no min and max macros already.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

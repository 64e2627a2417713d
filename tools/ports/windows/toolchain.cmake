# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads,
# so std::thread and std::mutex work). Libraries are looked for only in the
# compiler's own prefix and in the prefix of the dependencies built by
# deps.sh, given as VERMIX_WINDOWS_PREFIX (environment or -D).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VERMIX_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VERMIX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERMIX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VERMIX_MINGW}-windres)
set(CMAKE_AR ${VERMIX_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VERMIX_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT VERMIX_WINDOWS_PREFIX)
  set(VERMIX_WINDOWS_PREFIX "$ENV{VERMIX_WINDOWS_PREFIX}")
endif()
# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VERMIX_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VERMIX_MINGW} ${VERMIX_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

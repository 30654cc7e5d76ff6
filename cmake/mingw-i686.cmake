# 32-bit Windows build: the release Quietreel.exe, for Windows XP SP3 and
# later. The win32 thread-model compilers: the program has no threads, and
# the posix ones link winpthreads into the static runtime, which imports
# GetTickCount64 (Vista and later), so the exe would not start on XP.
# GoogleTest needs the posix ones; it is built in the win64 tree only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

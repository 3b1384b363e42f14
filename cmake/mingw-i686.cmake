# Cross-compiles Trelvo for 32-bit Windows with MinGW-w64 (posix thread model).
# Test programs run under 32-bit Wine through tools/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(TRELVO_WIDL i686-w64-mingw32-widl)
set(TRELVO_WIDL_FLAGS --win32 -L/usr/lib/i386-linux-gnu/wine/i386-windows)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(TRELVO_WINDOWS_BUILD ON)

# Cross-compiles Trelvo for 64-bit Windows with MinGW-w64 (posix thread model).
# The product is 32-bit; this build runs the same tests under 64-bit Wine on
# machines whose kernel cannot run 32-bit programs (see tools/test).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(TRELVO_WIDL x86_64-w64-mingw32-widl)
set(TRELVO_WIDL_FLAGS --win64 -L/usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(TRELVO_WINDOWS_BUILD ON)

# Cross-compiles Trelvo for 32-bit Windows with MinGW-w64.
# Test programs run under 32-bit Wine through tools/wine-run.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRELVO_MINGW_TRIPLE i686-w64-mingw32)
set(TRELVO_WIDL_FLAGS --win32 -L/usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# Cross-compiles Trelvo for 64-bit Windows with MinGW-w64: the Trelvo.dll that
# 64-bit Office loads, and the x64 package. Its tests run under 64-bit Wine
# (on machines whose kernel cannot run 32-bit programs, all of them; see tools/test).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRELVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(TRELVO_WIDL_FLAGS --win64 -L/usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

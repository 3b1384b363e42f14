# What both MinGW-w64 toolchains share; TRELVO_MINGW_TRIPLE names the target
# (i686-w64-mingw32 or x86_64-w64-mingw32), posix thread model.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TRELVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRELVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRELVO_MINGW_TRIPLE}-windres)
set(TRELVO_WIDL ${TRELVO_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${TRELVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Optimised without debug information: the DLL stays small (it ships in
# Trelvo.msi) and the builds stay quick.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")

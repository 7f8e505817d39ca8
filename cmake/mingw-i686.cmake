# Cross-compiles for 32-bit Windows, the release target (only a 32-bit process can host the
# 32-bit video control). Built here, not run: 32-bit Wine does not run on these machines.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLO_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

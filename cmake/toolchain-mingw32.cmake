# Cross build for 32-bit Windows with Debian's MinGW-w64, tests run under 32-bit Wine
# (in the 32-bit half of a 64-bit prefix: cmake/wine-run.sh).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(WT_MINGW_TRIPLE i686-w64-mingw32)
set(WT_WINE_ARCH x86)

# The SSE2 arithmetic and stack realignment every 32-bit x86 build needs are set for any
# such target in cmake/ProjectFlags.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

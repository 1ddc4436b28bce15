# Cross build for 64-bit Windows with Debian's MinGW-w64, tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WT_MINGW_TRIPLE x86_64-w64-mingw32)
set(WT_WINE_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

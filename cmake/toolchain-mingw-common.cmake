# What the two MinGW-w64 toolchain files share; each sets WT_MINGW_TRIPLE, WT_WINE_ARCH
# and CMAKE_SYSTEM_PROCESSOR first, then includes this file.
#
# The -posix thread model: GoogleTest needs std::mutex and std::thread, which the win32
# model lacks. Everything the project links takes the GCC runtime statically, so neither
# the DLL nor a test program needs a MinGW DLL beside it at run time.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${WT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WT_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${WT_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${WT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The linker stamps every PE file with the time it was linked unless told not to; the
# stamp stays 0, so that two builds of one commit give the same bytes.
set(WT_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${WT_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${WT_STATIC_RUNTIME}")

# Wine runs every test program, through a wrapper that keeps it headless and quiet in a
# prefix of the build's own (no user's ~/.wine is touched).
set(WT_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${WT_WINE_ARCH} ${WT_WINEPREFIX})

# Flags shared by every target the project compiles itself.
#
# -ffp-contract=off everywhere: voice results are compared bit for bit, and a fused
# multiply-add rounds once where the engine's arithmetic rounds twice. Never fast-math.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off -fno-fast-math)

# Warnings fail the build only where we build it ourselves (the presets turn this on): a
# packager's compiler, newer than ours, may warn about code ours accepts, and that build
# should still succeed.
option(WT_WERROR "Treat compiler warnings as errors" OFF)
if(WT_WERROR)
    add_compile_options(-Werror)
endif()

# The builds that ship: nothing in a binary may depend on where or when it was built, so
# that two builds of one commit give the same bytes. No debug information (it would carry
# the paths), source and build paths mapped away from whatever the compiler still
# records (__FILE__), symbols stripped, no run-time search path into the build tree.
# The PE time stamp is switched off in the MinGW toolchain files, for every Windows build.
option(WT_REPRODUCIBLE "Build the binaries that ship: stripped, no build path inside" OFF)
if(WT_REPRODUCIBLE)
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                        -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    set(CMAKE_SKIP_RPATH ON)
    # Emscripten's -s takes a setting; its release modules carry no symbols anyway.
    if(NOT EMSCRIPTEN)
        add_link_options(-s)
    endif()
endif()

# 32-bit x86: every double operation in SSE2, as on x86-64. The compiler's default there
# is the x87 unit, whose registers hold 80 bits: results would round once more, or once
# less, than the engine's arithmetic prescribes, and differ from every other build.
# And code on 32-bit Windows may be entered with the stack aligned to 4 bytes only (the
# caller's compiler promises no more), while SSE spills and vector locals need 16 and
# more: every function that needs more realigns the stack itself. (Emscripten names its
# target "x86" too; WebAssembly has no x87.)
if(NOT EMSCRIPTEN AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|i[3-6]86|x86_64|AMD64|amd64)$")
    add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
endif()

# MinGW's own C99 printf family instead of the system C runtime's: "%llu" and "%zu" then
# print as they do with glibc, and -Wformat checks them as GNU formats.
if(MINGW)
    add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
endif()

# For tests only (preset abi-shuffled): every host function in another slot than its list
# entry names, out of order and with gaps (the placement tests/abi/shuffled_host_slots.h
# gives host/host_functions.h), in the plugin and in every host alike, so that the ABI
# suite passing proves that the list alone places them. A library built so meets no real
# client.
option(WT_SHUFFLED_HOST_SLOTS "Tests only: the host functions in shuffled table slots" OFF)
if(WT_SHUFFLED_HOST_SLOTS)
    add_compile_definitions(WT_SHUFFLED_HOST_SLOTS
        WT_HOST_SLOT_PLACEMENT="tests/abi/shuffled_host_slots.h")
endif()

# Code that ends up inside the plugin library: no exceptions, no RTTI, nothing visible
# but the entry points marked for export.
function(wt_plugin_code target)
    target_compile_options(${target} PRIVATE
        -fno-exceptions -fno-rtti -fvisibility=hidden -fvisibility-inlines-hidden)
endfunction()

# Sanitizer builds (presets asan and tsan): every target, the plugin library and the test
# programs alike, is compiled and linked with the checks listed here, e.g.
# "address,undefined". The first finding ends the program, so a test cannot pass over one.
set(WT_SANITIZE "" CACHE STRING "Sanitizers for every target (-fsanitize= list); empty for none")
if(WT_SANITIZE)
    add_compile_options(-fsanitize=${WT_SANITIZE} -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${WT_SANITIZE})
endif()

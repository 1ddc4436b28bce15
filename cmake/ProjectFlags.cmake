# Flags shared by every target the project compiles itself.
#
# -ffp-contract=off everywhere: voice results are compared bit for bit, and a fused
# multiply-add rounds once where the engine's arithmetic rounds twice. Never fast-math.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-Wall -Wextra -Wpedantic -Werror -ffp-contract=off -fno-fast-math)

# MinGW's own C99 printf family instead of the system C runtime's: "%llu" and "%zu" then
# print as they do with glibc, and -Wformat checks them as GNU formats.
if(MINGW)
    add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
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

# Writes the site's modules.json from the link maps of the two modules:
#
#   cmake -DOUTPUT=modules.json -DPLAIN_MAP=x.wasm.map -DSIMD_MAP=y.wasm.map -P module_manifest.cmake
#
# The plugin has no entry point that tells the strength the menu left, so the page reads
# it where the voice path reads it: wt::effectSettings (voice/effect_settings.h), two
# 32-bit fields, the effect kind and then the strength as a float. The map gives the
# object's address in the module's memory; a size other than 8 bytes means the layout
# changed, and the build stops rather than let the page read the wrong bytes.
cmake_minimum_required(VERSION 3.25)

function(settings_address map out)
    file(STRINGS ${map} lines REGEX "[ \t]wt::effectSettings$")
    list(LENGTH lines count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "${map}: wt::effectSettings found ${count} times, expected once")
    endif()
    # "VMA LMA Size Align Out In Symbol"; a symbol line has VMA, LMA and Size.
    if(NOT lines MATCHES "^[ \t]*([0-9a-f]+)[ \t]+[0-9a-f]+[ \t]+([0-9a-f]+)[ \t]")
        message(FATAL_ERROR "${map}: cannot read the line of wt::effectSettings: ${lines}")
    endif()
    math(EXPR address "0x${CMAKE_MATCH_1}")
    math(EXPR size "0x${CMAKE_MATCH_2}")
    if(NOT size EQUAL 8)
        message(FATAL_ERROR "${map}: wt::effectSettings is ${size} bytes; the page reads 8")
    endif()
    set(${out} ${address} PARENT_SCOPE)
endfunction()

settings_address(${PLAIN_MAP} plain)
settings_address(${SIMD_MAP} simd)
math(EXPR plainStrength "${plain} + 4")
math(EXPR simdStrength "${simd} + 4")

file(WRITE ${OUTPUT} "{
  \"plain\": { \"file\": \"wacky_throats.wasm\", \"effectKind\": ${plain}, \"effectStrength\": ${plainStrength} },
  \"simd\": { \"file\": \"wacky_throats_simd.wasm\", \"effectKind\": ${simd}, \"effectStrength\": ${simdStrength} }
}
")

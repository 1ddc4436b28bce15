# Inspects the compiled objects of the voice path (everything in wt_voice but the menu).
#
#   cmake -DOBJDUMP=... -DNM=... -DOBJECTS="a.o|b.o|..." -DCHECK=calls|isa -P check_voice_objects.cmake
#
# CHECK=calls: fails if the machine code contains a fused multiply-add (FMA3 or FMA4): one
# rounding where the arithmetic prescribes two would change results. And fails if the
# objects reference anything outside themselves beyond memory copies, the square root and
# the CPU feature flags: no allocator, no lock, no thread primitive, no I/O, so the voice
# path can neither allocate, nor lock, nor make a system call.
#
# CHECK=isa: fails on any x87 instruction: its registers hold 80 bits, so a double that
# passes through them may round differently (32-bit x86 defaults to them). And fails if an
# AVX instruction or register (VEX or EVEX encoded: v-prefixed, %ymm, %zmm, mask
# registers) appears in any function but the AVX2 and AVX-512 kernels, which are reached
# only after the CPU check: everything else must run on a CPU with SSE2 alone.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../support/binary_tables.cmake)

string(REPLACE "|" ";" objects "${OBJECTS}")
list(FILTER objects EXCLUDE REGEX "effect_menu")
list(LENGTH objects count)

function(disassemble object out)
    execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
        OUTPUT_VARIABLE code RESULT_VARIABLE failed ERROR_VARIABLE why)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} -d ${object} failed: ${why}")
    endif()
    set(${out} "${code}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "calls")
    set(allowed
        memcpy memset memmove sqrt
        __cpu_model __cpu_indicator_init
        ___chkstk_ms __chkstk_ms __stack_chk_fail __stack_chk_guard
        _GLOBAL_OFFSET_TABLE_ __dso_handle)
    # 32-bit Windows objects prefix every C name with an underscore.
    set(allowedUnderscored ${allowed})
    list(TRANSFORM allowedUnderscored PREPEND "_")
    list(APPEND allowed ${allowedUnderscored})

    set(defined "")
    set(referenced "")
    set(fma "")
    foreach(object IN LISTS objects)
        wt_binary_tables(${object} NM ${NM} DEFINED here UNDEFINED elsewhere)
        list(APPEND defined ${here})
        list(APPEND referenced ${elsewhere})

        disassemble(${object} code)
        string(REGEX MATCHALL "[\t ]vfn?m(add|sub)[a-z0-9]*[\t ]" found "${code}")
        if(found)
            get_filename_component(name ${object} NAME)
            list(LENGTH found n)
            list(APPEND fma "${name}: ${n}")
        endif()
    endforeach()

    list(REMOVE_DUPLICATES referenced)
    list(REMOVE_ITEM referenced ${defined} ${allowed})
    message("${count} voice objects inspected")
    if(fma)
        message(FATAL_ERROR "fused multiply-add instructions in: ${fma}")
    endif()
    if(referenced)
        string(REPLACE ";" "\n  " shown "${referenced}")
        message(FATAL_ERROR "the voice path references outside code:\n  ${shown}")
    endif()

elseif(CHECK STREQUAL "isa")
    set(x87 "")
    set(stray "")
    set(wide 0)
    foreach(object IN LISTS objects)
        get_filename_component(file ${object} NAME)
        disassemble(${object} code)
        # One list element per function: objdump ends each with a blank line.
        string(REPLACE ";" "," code "${code}")
        string(REPLACE "\n\n" ";" functions "${code}")
        foreach(function IN LISTS functions)
            if(NOT function MATCHES "<([^>\n]+)>:\n")
                continue()
            endif()
            set(name "${CMAKE_MATCH_1}")
            # An instruction line: address, colon, tab, mnemonic.
            string(REGEX MATCHALL ":\tf[a-z0-9]*" found "${function}")
            if(found)
                list(REMOVE_DUPLICATES found)
                string(REPLACE ":\t" "" found "${found}")
                list(APPEND x87 "${file} ${name}: ${found}")
            endif()
            if(function MATCHES ":\tv[a-z]|%[yz]mm[0-9]|%k[0-7]")
                if(name MATCHES "Avx(2|512)")
                    math(EXPR wide "${wide} + 1")
                else()
                    list(APPEND stray "${file} ${name}")
                endif()
            endif()
        endforeach()
    endforeach()

    message("${count} voice objects inspected; ${wide} functions with AVX code, all AVX kernels")
    if(x87)
        string(REPLACE ";" "\n  " shown "${x87}")
        message(FATAL_ERROR "x87 instructions in:\n  ${shown}")
    endif()
    if(stray)
        string(REPLACE ";" "\n  " shown "${stray}")
        message(FATAL_ERROR "AVX instructions outside the kernels behind the CPU check:\n  ${shown}")
    endif()
else()
    message(FATAL_ERROR "CHECK must be calls or isa")
endif()

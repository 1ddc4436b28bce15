# Inspects the compiled objects of the voice path (everything in wt_voice but the menu).
#
#   cmake -DOBJDUMP=... -DNM=... -DOBJECTS="a.o|b.o|..." -P check_voice_objects.cmake
#
# Fails if the machine code contains a fused multiply-add (FMA3 or FMA4): one rounding
# where the arithmetic prescribes two would change results. And fails if the objects
# reference anything outside themselves beyond memory copies, the square root and the
# CPU feature flags: no allocator, no lock, no thread primitive, no I/O, so the voice
# path can neither allocate, nor lock, nor make a system call.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" objects "${OBJECTS}")
list(FILTER objects EXCLUDE REGEX "effect_menu")

set(allowed
    memcpy memset memmove sqrt
    __cpu_model __cpu_indicator_init
    ___chkstk_ms __chkstk_ms __stack_chk_fail __stack_chk_guard
    _GLOBAL_OFFSET_TABLE_ __dso_handle)

set(defined "")
set(referenced "")
set(fma "")
foreach(object IN LISTS objects)
    execute_process(COMMAND ${NM} -P ${object}
        OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_VARIABLE why)
    if(failed)
        message(FATAL_ERROR "${NM} ${object} failed: ${why}")
    endif()
    string(REPLACE "\n" ";" lines "${symbols}")
    foreach(line IN LISTS lines)
        if(line MATCHES "^([^ ]+) U")
            list(APPEND referenced "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^([^ ]+) [A-TV-Za-z]")
            list(APPEND defined "${CMAKE_MATCH_1}")
        endif()
    endforeach()

    execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
        OUTPUT_VARIABLE code RESULT_VARIABLE failed ERROR_VARIABLE why)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} -d ${object} failed: ${why}")
    endif()
    string(REGEX MATCHALL "[\t ]vfn?m(add|sub)[a-z0-9]*[\t ]" found "${code}")
    if(found)
        get_filename_component(name ${object} NAME)
        list(LENGTH found count)
        list(APPEND fma "${name}: ${count}")
    endif()
endforeach()

list(REMOVE_DUPLICATES referenced)
list(REMOVE_ITEM referenced ${defined} ${allowed})
list(LENGTH objects count)
message("${count} voice objects inspected")
if(fma)
    message(FATAL_ERROR "fused multiply-add instructions in: ${fma}")
endif()
if(referenced)
    string(REPLACE ";" "\n  " shown "${referenced}")
    message(FATAL_ERROR "the voice path references outside code:\n  ${shown}")
endif()

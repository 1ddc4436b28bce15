# Reads the export or the import table of a Windows DLL with objdump -p and checks it.
#
#   cmake -DOBJDUMP=... -DLIBRARY=x.dll -DCHECK=exports -DEXPECTED=list.txt -P dll_tables.cmake
#     The DLL exports by name exactly the names in EXPECTED (one a line, # comments),
#     undecorated, and nothing by ordinal alone.
#   cmake -DOBJDUMP=... -DLIBRARY=x.dll -DCHECK=imports -P dll_tables.cmake
#     The DLL imports only from system DLLs: KERNEL32.dll and the C runtime. A runtime
#     library of the compiler (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll)
#     would have to be shipped beside the plugin, and the client would fail to load it.
#
# Prints the table it read, so that a test log documents the DLL.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
    OUTPUT_VARIABLE dump RESULT_VARIABLE failed ERROR_VARIABLE why)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed: ${why}")
endif()
string(REPLACE ";" "\\;" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

if(CHECK STREQUAL "exports")
    set(names "")
    set(entries -1)
    set(inCounts FALSE)
    set(inNames FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "^Number in:")
            set(inCounts TRUE)
        elseif(line MATCHES "^Table Addresses")
            set(inCounts FALSE)
        elseif(inCounts AND line MATCHES "^[\t ]*Export Address Table[\t ]+([0-9a-fA-F]+)$")
            math(EXPR entries "0x${CMAKE_MATCH_1}")
        elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
            set(inNames TRUE)
        elseif(inNames AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
            list(APPEND names "${CMAKE_MATCH_1}")
        elseif(inNames)
            set(inNames FALSE)
        endif()
    endforeach()

    file(STRINGS ${EXPECTED} wanted REGEX "^[^#]")
    list(TRANSFORM wanted STRIP)
    list(REMOVE_ITEM wanted "")
    list(SORT wanted)
    list(SORT names)
    list(LENGTH names count)
    list(LENGTH wanted wantedCount)
    string(REPLACE ";" "\n  " shown "${names}")
    message("${count} exports by name, ${entries} entries in the address table:\n  ${shown}")

    set(missing ${wanted})
    list(REMOVE_ITEM missing ${names})
    set(extra ${names})
    list(REMOVE_ITEM extra ${wanted})
    if(missing OR extra OR NOT entries EQUAL count OR NOT count EQUAL wantedCount)
        message(FATAL_ERROR "exports differ from ${EXPECTED} (${wantedCount} names)\n"
            "missing: ${missing}\nunexpected: ${extra}\n"
            "exported by ordinal only: address table ${entries}, names ${count}")
    endif()
elseif(CHECK STREQUAL "imports")
    set(dlls "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[\t ]*DLL Name: (.+)$")
            list(APPEND dlls "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    string(REPLACE ";" ", " shown "${dlls}")
    message("imports from: ${shown}")
    if(NOT dlls)
        message(FATAL_ERROR "no import table found in ${LIBRARY}")
    endif()
    foreach(dll IN LISTS dlls)
        string(TOLOWER "${dll}" name)
        if(NOT name MATCHES "^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
            message(FATAL_ERROR "imports from ${dll}, which is neither KERNEL32.dll nor the C runtime")
        endif()
    endforeach()
else()
    message(FATAL_ERROR "CHECK must be exports or imports")
endif()

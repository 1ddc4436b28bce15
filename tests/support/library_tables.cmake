# Checks a built plugin library's tables (tests/support/binary_tables.cmake reads them):
#
#   cmake -DOBJDUMP=... -DLIBRARY=x.so|x.dll -DCHECK=exports -DEXPECTED=list.txt -P library_tables.cmake
#     The library exports exactly the names in EXPECTED (one a line, # comments),
#     undecorated, and nothing by ordinal alone.
#   cmake -DOBJDUMP=... -DLIBRARY=x.so|x.dll -DCHECK=imports -P library_tables.cmake
#     The library needs no runtime library of the compiler at load time (libstdc++,
#     libgcc_s, libwinpthread), which would have to ship beside it or the client would
#     fail to load it; a DLL imports from system DLLs alone: KERNEL32.dll and the C runtime.
#
# Prints the table it read, so that a test log documents the library.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/binary_tables.cmake)

if(CHECK STREQUAL "exports")
    wt_binary_tables(${LIBRARY} OBJDUMP ${OBJDUMP} EXPORTS names UNNAMED_EXPORTS unnamed)
    file(STRINGS ${EXPECTED} wanted REGEX "^[^#]")
    list(TRANSFORM wanted STRIP)
    list(REMOVE_ITEM wanted "")
    list(LENGTH names count)
    list(LENGTH wanted wantedCount)
    string(REPLACE ";" "\n  " shown "${names}")
    message("${count} exports by name, ${unnamed} by ordinal alone:\n  ${shown}")

    set(missing ${wanted})
    list(REMOVE_ITEM missing ${names})
    set(extra ${names})
    list(REMOVE_ITEM extra ${wanted})
    if(missing OR extra OR NOT unnamed EQUAL 0 OR NOT count EQUAL wantedCount)
        message(FATAL_ERROR "exports differ from ${EXPECTED} (${wantedCount} names)\n"
            "missing: ${missing}\nunexpected: ${extra}\nexported by ordinal only: ${unnamed}")
    endif()
elseif(CHECK STREQUAL "imports")
    wt_binary_tables(${LIBRARY} OBJDUMP ${OBJDUMP} NEEDS needs)
    string(REPLACE ";" ", " shown "${needs}")
    message("needs at load time: ${shown}")
    if(NOT needs)
        message(FATAL_ERROR "no needed library found in ${LIBRARY}")
    endif()
    foreach(library IN LISTS needs)
        string(TOLOWER "${library}" name)
        if(name MATCHES "^(libstdc\\+\\+|libgcc_s|libwinpthread)")
            message(FATAL_ERROR "needs ${library}, a runtime library of the compiler")
        elseif(name MATCHES "\\.dll$"
               AND NOT name MATCHES "^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
            message(FATAL_ERROR "imports from ${library}, which is neither KERNEL32.dll nor the C runtime")
        endif()
    endforeach()
else()
    message(FATAL_ERROR "CHECK must be exports or imports")
endif()

# Reads the tables of a built binary with binutils: the one reader every check of a
# binary's symbols, exports and load-time needs goes through. include() it, in a script
# (cmake -P) or a CMakeLists.txt alike.
#
#   wt_binary_tables(<file> [OBJDUMP <objdump>] [NM <nm>]
#                    [EXPORTS <var>] [UNNAMED_EXPORTS <var>] [NEEDS <var>]
#                    [DEFINED <var>] [UNDEFINED <var>])
#
# A shared library (ELF .so or PE .dll), through OBJDUMP:
#   EXPORTS          the names it defines for others to call, sorted: an ELF's defined
#                    dynamic symbols without their version, a PE's export name table.
#   UNNAMED_EXPORTS  a PE's export address table entries without a name (exports by
#                    ordinal alone); 0 for an ELF.
#   NEEDS            the libraries it needs at load time (ELF NEEDED, PE DLL Name).
# An object file, through NM:
#   DEFINED, UNDEFINED  the symbols it defines, and those it references from elsewhere.
# Fails the caller (FATAL_ERROR) when the tool fails.
include_guard(GLOBAL)

function(wt_binary_tables file)
    cmake_parse_arguments(PARSE_ARGV 1 arg ""
        "OBJDUMP;NM;EXPORTS;UNNAMED_EXPORTS;NEEDS;DEFINED;UNDEFINED" "")

    if(arg_DEFINED OR arg_UNDEFINED)
        _wt_tool_lines(lines ${arg_NM} -P ${file})
        set(defined "")
        set(undefined "")
        foreach(line IN LISTS lines)
            # nm -P: "name type [value size]"; U is undefined, w and v are weak references.
            if(line MATCHES "^([^ ]+) U")
                list(APPEND undefined "${CMAKE_MATCH_1}")
            elseif(line MATCHES "^([^ ]+) [A-TV-Za-z]")
                list(APPEND defined "${CMAKE_MATCH_1}")
            endif()
        endforeach()
        set(${arg_DEFINED} "${defined}" PARENT_SCOPE)
        set(${arg_UNDEFINED} "${undefined}" PARENT_SCOPE)
    endif()

    if(NOT (arg_EXPORTS OR arg_UNNAMED_EXPORTS OR arg_NEEDS))
        return()
    endif()
    _wt_tool_lines(lines ${arg_OBJDUMP} -p ${file})
    set(exports "")
    set(needs "")
    set(entries -1)
    set(format "")
    set(in_counts FALSE)
    set(in_names FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "file format (pe|pei)-")
            set(format pe)
        elseif(line MATCHES "file format elf")
            set(format elf)
        elseif(line MATCHES "^[\t ]*(NEEDED[\t ]+|DLL Name: )(.+)$")
            list(APPEND needs "${CMAKE_MATCH_2}")
        # PE: the export directory's counts, then its name table "\t[  n] name".
        elseif(line MATCHES "^Number in:")
            set(in_counts TRUE)
        elseif(line MATCHES "^Table Addresses")
            set(in_counts FALSE)
        elseif(in_counts AND line MATCHES "^[\t ]*Export Address Table[\t ]+([0-9a-fA-F]+)$")
            math(EXPR entries "0x${CMAKE_MATCH_1}")
        elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
            set(in_names TRUE)
        elseif(in_names AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
            list(APPEND exports "${CMAKE_MATCH_1}")
        elseif(in_names)
            set(in_names FALSE)
        endif()
    endforeach()

    if(format STREQUAL "elf")
        # objdump -T: "value flags section<TAB>size [version] name"; flag l marks a local.
        _wt_tool_lines(symbols ${arg_OBJDUMP} -T ${file})
        foreach(line IN LISTS symbols)
            if(line MATCHES "^[0-9a-f]+ (.......) ([^\t ]+)\t.* ([^ ]+)$")
                set(name "${CMAKE_MATCH_3}")
                if(NOT CMAKE_MATCH_2 STREQUAL "*UND*" AND NOT CMAKE_MATCH_1 MATCHES "^l")
                    list(APPEND exports "${name}")
                endif()
            endif()
        endforeach()
        set(unnamed 0)
    elseif(format STREQUAL "pe")
        list(LENGTH exports named)
        math(EXPR unnamed "${entries} - ${named}")
        if(entries LESS 0)
            set(unnamed 0)  # no export directory at all
        endif()
    else()
        message(FATAL_ERROR "${file}: neither an ELF nor a PE file")
    endif()
    list(SORT exports)
    set(${arg_EXPORTS} "${exports}" PARENT_SCOPE)
    set(${arg_UNNAMED_EXPORTS} "${unnamed}" PARENT_SCOPE)
    set(${arg_NEEDS} "${needs}" PARENT_SCOPE)
endfunction()

# The tool's standard output, one list element a line.
function(_wt_tool_lines out)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE failed
        ERROR_VARIABLE why)
    if(failed)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "${command} failed: ${why}")
    endif()
    string(REPLACE ";" "\\;" text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

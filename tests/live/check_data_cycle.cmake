# Inspects the compiled objects of the data cycle (wt_live_cycle): everything they call
# beyond themselves must be on the allow-list below, so that PipeWire's real-time thread
# can neither allocate, nor lock, nor make a system call through our code.
#
#   cmake -DNM=... -DOBJECTS="a.o|b.o" -P check_data_cycle.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../support/binary_tables.cmake)

set(allowed
    # PipeWire's buffer exchange, lock-free on the data thread
    pw_stream_dequeue_buffer pw_stream_queue_buffer pw_stream_trigger_process
    memcpy memset
    # std::chrono::steady_clock::now(), read through the vDSO
    _ZNSt6chrono3_V212steady_clock3nowEv
    # the plugin's capture entry, through the session that loaded it
    _ZN2wt7session13PluginSession12captureVoiceEPsi
    __stack_chk_fail _GLOBAL_OFFSET_TABLE_ __dso_handle)

string(REPLACE "|" ";" objects "${OBJECTS}")
set(defined "")
set(referenced "")
foreach(object IN LISTS objects)
    wt_binary_tables(${object} NM ${NM} DEFINED here UNDEFINED elsewhere)
    list(APPEND defined ${here})
    list(APPEND referenced ${elsewhere})
endforeach()
list(REMOVE_DUPLICATES referenced)
list(REMOVE_ITEM referenced ${defined} ${allowed})
list(LENGTH objects count)
message("${count} data-cycle objects inspected")
if(referenced)
    string(REPLACE ";" "\n  " shown "${referenced}")
    message(FATAL_ERROR "the data cycle references outside code:\n  ${shown}")
endif()

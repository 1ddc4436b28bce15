#pragma once

// The placement of the abi-shuffled build (CMake option WT_SHUFFLED_HOST_SLOTS), included by
// host/host_functions.h in its place: every function moves to another slot, out of order
// and with gaps (slot 0's function into the last slot), so that the suites prove nothing
// but the list places a function. 97 is prime and no factor of the table's size, so the
// move is a permutation: no two functions meet.

#include <cstddef>

#include "host/host_function_list.h"

static_assert(kHostFunctionSlots % 97 != 0);

inline constexpr size_t placedHostSlot(size_t slot) {
    return (slot * 97 + kHostFunctionSlots - 1) % kHostFunctionSlots;
}

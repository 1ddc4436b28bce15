#pragma once

// The client's function table, laid out slot for slot as the client hands it over: the
// functions of host/host_function_list.h in slot order, then the reserved slots, 209
// pointers in all. Only fixed-width C types; no member may be reordered or resized.

#include <cstddef>
#include <cstdint>

#include "host/host_function_list.h"

inline constexpr size_t kHostFunctionSlots = 209;
#define WT_HOST_COUNT(slot, Result, name, parameters, arguments) +1
inline constexpr size_t kHostFunctionsUsed = 0 WT_HOST_FUNCTIONS(WT_HOST_COUNT);
#undef WT_HOST_COUNT

extern "C" {

struct HostFunctions {
#define WT_HOST_SLOT(slot, Result, name, parameters, arguments) Result(*name) parameters;
    WT_HOST_FUNCTIONS(WT_HOST_SLOT)
#undef WT_HOST_SLOT
    // The slots after the last function (30..208 today): never called.
    void (*reserved[kHostFunctionSlots - kHostFunctionsUsed])(void);
};

}  // extern "C"

static_assert(sizeof(void (*)(void)) == sizeof(void*));
static_assert(sizeof(HostFunctions) == kHostFunctionSlots * sizeof(void*));
static_assert(offsetof(HostFunctions, reserved) == kHostFunctionsUsed * sizeof(void*));
#define WT_HOST_OFFSET(slot, Result, name, parameters, arguments) \
    static_assert(offsetof(HostFunctions, name) == (slot) * sizeof(void*), #name);
WT_HOST_FUNCTIONS(WT_HOST_OFFSET)
#undef WT_HOST_OFFSET

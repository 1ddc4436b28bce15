#pragma once

// The client's function table as it is handed over: kHostFunctionSlots pointers, each host
// function of host/host_function_list.h in its slot, null or anything in the reserved
// ones. Code reaches a slot by the function's name, through get() and set(), never by
// number, so the list alone decides the layout. Only fixed-width C types cross.

#include <cstddef>
#include <cstdint>

#include "host/calling_convention.h"
#include "host/host_function_list.h"

// The host functions by name, in list order (not slot order): 0, 1, 2, ...
enum class HostFunction : int {
#define WT_HOST_ENUM(slot, Result, name, parameters, arguments) name,
    WT_HOST_FUNCTIONS(WT_HOST_ENUM)
#undef WT_HOST_ENUM
};

#define WT_HOST_COUNT(slot, Result, name, parameters, arguments) +1
inline constexpr size_t kHostFunctionsUsed = 0 WT_HOST_FUNCTIONS(WT_HOST_COUNT);
#undef WT_HOST_COUNT

// The slot each listed slot is placed in: the same one, but in a test build that names a
// placement of its own (CMake option WT_SHUFFLED_HOST_SLOTS), which must define
// placedHostSlot() as a permutation of the table's slots.
#if defined(WT_HOST_SLOT_PLACEMENT)
#include WT_HOST_SLOT_PLACEMENT
#else
inline constexpr size_t placedHostSlot(size_t slot) {
    return slot;
}
#endif

// Each host function's pointer type and slot.
template <HostFunction function>
struct HostFunctionInfo;
#define WT_HOST_INFO(slot, Result, name, parameters, arguments)                    \
    template <>                                                                    \
    struct HostFunctionInfo<HostFunction::name> {                                  \
        using Pointer = Result(WT_CALL*) parameters;                               \
        static constexpr size_t kSlot = placedHostSlot(slot);                      \
        static_assert(kSlot < kHostFunctionSlots, #name " lies beyond the table"); \
    };
WT_HOST_FUNCTIONS(WT_HOST_INFO)
#undef WT_HOST_INFO

template <HostFunction function>
using HostFunctionPointer = typename HostFunctionInfo<function>::Pointer;

// The slot of each host function, in list order.
inline constexpr size_t kHostFunctionSlotOf[kHostFunctionsUsed] = {
#define WT_HOST_SLOT(slot, Result, name, parameters, arguments) \
    HostFunctionInfo<HostFunction::name>::kSlot,
    WT_HOST_FUNCTIONS(WT_HOST_SLOT)
#undef WT_HOST_SLOT
};

// True when no host function has this slot: the client may leave it null.
inline constexpr bool isReservedHostSlot(size_t slot) {
    for (size_t taken : kHostFunctionSlotOf) {
        if (taken == slot) return false;
    }
    return true;
}

inline constexpr bool hostSlotsAreDistinct() {
    for (size_t i = 0; i < kHostFunctionsUsed; ++i) {
        for (size_t j = i + 1; j < kHostFunctionsUsed; ++j) {
            if (kHostFunctionSlotOf[i] == kHostFunctionSlotOf[j]) return false;
        }
    }
    return true;
}

static_assert(hostSlotsAreDistinct(), "two host functions share a slot");

// A struct passed by value, pointer for pointer as the client lays it out.
struct HostFunctions {
    using Slot = void(WT_CALL*)(void);
    Slot slots[kHostFunctionSlots];

    template <HostFunction function>
    HostFunctionPointer<function> get() const {
        return reinterpret_cast<HostFunctionPointer<function>>(
            slots[HostFunctionInfo<function>::kSlot]);
    }

    template <HostFunction function>
    void set(HostFunctionPointer<function> pointer) {
        slots[HostFunctionInfo<function>::kSlot] = reinterpret_cast<Slot>(pointer);
    }
};

static_assert(sizeof(HostFunctions::Slot) == sizeof(void*));
static_assert(sizeof(HostFunctions) == kHostFunctionSlots * sizeof(void*));
static_assert(alignof(HostFunctions) == alignof(void*));

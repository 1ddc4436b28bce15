#pragma once

// Strings and ID lists that host queries hand over through out-parameters, after a
// successful query: Owned by the plugin; released with the host's freeMemory as soon as
// used (on every path). A failed query hands over nothing, whatever it left in the
// out-pointer.

#include <cstdint>

#include "host/host.h"

namespace wt::diagnostics {

// Owns one block a host query hands over, for one scope:
//   HostText name;
//   if (name.keepOnSuccess(host::getServerVariableAsString(handler, flag, &name.data)) != kOk) ...
template <typename Element>
struct HostBlock {
    Element* data = nullptr;

    HostBlock() = default;
    HostBlock(const HostBlock&) = delete;
    HostBlock& operator=(const HostBlock&) = delete;

    ~HostBlock() {
        if (data != nullptr) host::freeMemory(data);
    }

    // Passes the query's result through; keeps the block only when the query succeeded.
    unsigned int keepOnSuccess(unsigned int result) {
        if (result != host::kOk) data = nullptr;
        return result;
    }
};

// A terminated text.
using HostText = HostBlock<char>;

// IDs up to the first entry whose whole 64-bit value is 0; null after a successful query
// reads as an empty list.
using HostIdList = HostBlock<uint64_t>;

}  // namespace wt::diagnostics

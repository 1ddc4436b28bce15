#pragma once

// Strings and ID lists that host queries hand over through out-parameters. They belong
// to the plugin after a successful query and go back to the client's freeMemory as soon
// as they have been used, on every path. A failed query hands over nothing, whatever it
// left in the out-pointer.

#include <cstdint>

#include "host/host.h"

namespace wt::diagnostics {

inline void releaseHostBlock(void* block) {
    if (block != nullptr) host::freeMemory(block);
}

// Owns one host string for one scope:
//   HostText name;
//   if (name.take(host::getServerVariableAsString(handler, flag, &name.text)) != kOk) ...
struct HostText {
    char* text = nullptr;

    // Passes the query's result through; keeps the string only when the query succeeded.
    unsigned int take(unsigned int result) {
        if (result != host::kOk) text = nullptr;
        return result;
    }

    HostText() = default;
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    ~HostText() { releaseHostBlock(text); }
};

// Owns one host ID list for one scope. The list ends at the first entry whose whole
// 64-bit value is 0; a null list after a successful query reads as an empty one.
struct HostIdList {
    uint64_t* ids = nullptr;

    // Passes the query's result through; keeps the list only when the query succeeded.
    unsigned int take(unsigned int result) {
        if (result != host::kOk) ids = nullptr;
        return result;
    }

    HostIdList() = default;
    HostIdList(const HostIdList&) = delete;
    HostIdList& operator=(const HostIdList&) = delete;

    ~HostIdList() { releaseHostBlock(ids); }
};

}  // namespace wt::diagnostics

#include "plugin/plugin_id.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plugin/entry_points.h"

namespace {

// Heap copy of the client's text, or null. Atomic so that a diagnostic entry point reading
// it on another client thread never sees a torn pointer.
constinit std::atomic<char*> pluginId{nullptr};

}  // namespace

namespace wt {

const char* registeredPluginId() { return pluginId.load(std::memory_order_acquire); }

}  // namespace wt

WT_EXPORT void ts3plugin_registerPluginID(const char* id) {
    char* copy = nullptr;
    if (id != nullptr) {
        const size_t size = std::strlen(id) + 1;
        copy = static_cast<char*>(std::malloc(size));
        if (copy != nullptr) std::memcpy(copy, id, size);
    }
    // A replaced identifier is released: nothing may keep it past the entry point that read it.
    std::free(pluginId.exchange(copy, std::memory_order_acq_rel));
    std::printf("PLUGIN: registerPluginID: %s\n", copy != nullptr ? copy : "");
}

WT_EXPORT void ts3plugin_shutdown(void) {
    std::printf("PLUGIN: shutdown\n");
    std::free(pluginId.exchange(nullptr, std::memory_order_acq_rel));
}

// Stand-ins for broken plugins, to drive the tool's failure paths; each definition is
// checked against the declaration the real plugin implements. Built twice:
//   WT_STUB_MISSING_ENTRY: only the interface version; every other entry point is missing.
//   otherwise: a plugin whose menu has one effect and no strength items, which leaves a
//   host block unreleased and hands the host a pointer of its own to free.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/host_functions.h"
#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "tools/host_core/plugin_library.h"

WT_EXPORT int ts3plugin_apiVersion() {
    return wt::hostcore::kInterfaceVersion;
}

#if !defined(WT_STUB_MISSING_ENTRY)

namespace {

HostFunctions host;
void* ownBlock = nullptr;  // handed to the host's freeMemory, which must not release it

}  // namespace

WT_EXPORT void ts3plugin_setFunctionPointers(const HostFunctions funcs) {
    host = funcs;
}

WT_EXPORT int ts3plugin_init() {
    char* version = nullptr;
    host.get<HostFunction::getClientLibVersion>()(&version);  // never released
    ownBlock = std::malloc(16);
    host.get<HostFunction::freeMemory>()(ownBlock);  // not the host's to free
    return 0;
}

WT_EXPORT void ts3plugin_registerPluginID(const char*) {}

WT_EXPORT void ts3plugin_initMenus(PluginMenuItem*** items, char** icon) {
    *items = static_cast<PluginMenuItem**>(std::calloc(2, sizeof(PluginMenuItem*)));
    (*items)[0] = static_cast<PluginMenuItem*>(std::calloc(1, sizeof(PluginMenuItem)));
    (*items)[0]->id = 42;
    std::strcpy((*items)[0]->text, "Robot");
    *icon = nullptr;
}

WT_EXPORT void ts3plugin_onMenuItemEvent(uint64_t, int, int, uint64_t) {}

WT_EXPORT void ts3plugin_onEditCapturedVoiceDataEvent(uint64_t, short*, int, int, int*) {}

WT_EXPORT void ts3plugin_freeMemory(void* data) {
    std::free(data);
}

WT_EXPORT void ts3plugin_shutdown() {
    std::free(ownBlock);
}

#endif

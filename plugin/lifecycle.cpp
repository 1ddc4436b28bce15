// Start-up, the client's function table, and the memory that crosses the boundary.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

namespace {

// The client may leave a path unwritten, or fill the buffer without a terminator: the
// buffer is cleared first, and a path that fills it ends at the last whole character.
void queryPath(unsigned int (*query)(char*, size_t), char (&path)[wt::host::kPathSize]) {
    std::memset(path, 0, sizeof path);
    query(path, wt::host::kPathSize);
    wt::endWithinBuffer(path, sizeof path);
}

}  // namespace

WT_EXPORT void ts3plugin_setFunctionPointers(const struct HostFunctions funcs) {
    wt::host::install(funcs);
}

WT_EXPORT int ts3plugin_init(void) {
    std::printf("PLUGIN: init\n");
    char appPath[wt::host::kPathSize];
    char resourcesPath[wt::host::kPathSize];
    char configPath[wt::host::kPathSize];
    char pluginPath[wt::host::kPathSize];
    queryPath(wt::host::getAppPath, appPath);
    queryPath(wt::host::getResourcesPath, resourcesPath);
    queryPath(wt::host::getConfigPath, configPath);
    queryPath(wt::host::getPluginPath, pluginPath);
    std::printf("PLUGIN: App path: %s\nResources path: %s\nConfig path: %s\nPlugin path: %s\n",
                appPath, resourcesPath, configPath, pluginPath);
    return 0;
}

WT_EXPORT void ts3plugin_freeMemory(void* data) {
    std::free(data);
}

WT_EXPORT int ts3plugin_requestAutoload(void) {
    return 0;
}

WT_EXPORT int ts3plugin_offersConfigure(void) {
    std::printf("PLUGIN: offersConfigure\n");
    return 0;
}

WT_EXPORT void ts3plugin_configure(void* /*handle*/, void* /*parentWidget*/) {
    std::printf("PLUGIN: configure\n");
}

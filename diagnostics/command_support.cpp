#include "diagnostics/command_support.h"

#include <cstdio>
#include <cstring>

#include "host/host.h"

namespace wt::diagnostics {

bool registeredOrReport(const PluginIdUse& pluginId, const char* action) {
    if (pluginId.text() != nullptr) return true;
    std::printf("PLUGIN: Failed to %s, was not registered.\n", action);
    return false;
}

void createReturnCode(const char* pluginId, char (&code)[kReturnCodeSize]) {
    std::memset(code, 0, sizeof code);
    // The result is not examined: a request made with an empty code still goes out,
    // its answer just cannot be matched to it.
    host::createReturnCode(pluginId, code, sizeof code);
    code[kReturnCodeSize - 1] = '\0';
}

}  // namespace wt::diagnostics

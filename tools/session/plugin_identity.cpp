#include "tools/session/plugin_identity.h"

#include "tools/host_core/plugin_library.h"
#include "tools/session/exit_codes.h"

namespace wt::session {

void printIdentity(const std::string& pluginPath, std::FILE* results) {
    std::string loaderMessage;
    void* library = hostcore::openLibrary(pluginPath, &loaderMessage);
    if (library == nullptr)
        throw ToolError{ExitCode::PluginNotLoadable,
                        "cannot load the plugin " + pluginPath + ": " + loaderMessage};
    const auto name = WT_ENTRY_POINT(library, name);
    const auto version = WT_ENTRY_POINT(library, version);
    if (name == nullptr || version == nullptr) {
        hostcore::closeLibrary(library);
        throw ToolError{ExitCode::EntryPointMissing,
                        std::string("the plugin has no entry point ") +
                            (name == nullptr ? "ts3plugin_name" : "ts3plugin_version")};
    }
    std::fprintf(results, "plugin: %s\nversion: %s\n", name(), version());
    std::fflush(results);
    hostcore::closeLibrary(library);
}

}  // namespace wt::session

// "command": sends a plugin command to the current channel.

#include <cstdio>

#include "diagnostics/command_support.h"
#include "diagnostics/subcommands.h"
#include "host/host.h"

namespace wt::diagnostics {

namespace {

constexpr int kTargetCurrentChannel = 0;

}  // namespace

void runPluginCommand(uint64_t handler, const char* command) {
    if (command == nullptr) {
        host::printMessageToCurrentTab("Missing command parameter.");
        return;
    }
    const PluginIdUse pluginId;
    if (!registeredOrReport(pluginId, "send plugin command")) return;
    std::printf("PLUGIN: Sending plugin command to current channel: %s\n", command);
    // Fire and forget: the result is not examined and no return code goes with it.
    host::sendPluginCommand(handler, pluginId.text(), command, kTargetCurrentChannel, nullptr,
                            nullptr);
}

}  // namespace wt::diagnostics

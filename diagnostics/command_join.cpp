// "join": moves the own client into a channel.

#include "diagnostics/command_number.h"
#include "diagnostics/command_support.h"
#include "diagnostics/subcommands.h"
#include "host/host.h"

namespace wt::diagnostics {

void runJoin(uint64_t handler, const char* channel, const char* password) {
    if (channel == nullptr) {
        host::printMessageToCurrentTab("Missing channel ID parameter.");
        return;
    }
    const PluginIdUse pluginId;
    if (!registeredOrReport(pluginId, "join channel")) return;

    const uint64_t channelId = readChannelId(channel);
    uint16_t ownClientId = 0;
    if (host::getClientID(handler, &ownClientId) != host::kOk) {
        host::log("Error querying client ID", host::kLogError, handler);
        return;
    }
    char returnCode[kReturnCodeSize];
    createReturnCode(pluginId.text(), returnCode);
    if (host::requestClientMove(handler, ownClientId, channelId,
                                password != nullptr ? password : "", returnCode) != host::kOk) {
        // A refused move is logged as info, unlike the failed queries.
        host::log("Error requesting client move", host::kLogInfo, handler);
    }
}

}  // namespace wt::diagnostics

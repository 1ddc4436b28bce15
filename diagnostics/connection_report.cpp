// The report written each time a server connection is fully established: client
// library version, plugin identity, server name and welcome message, own client,
// channels and every server connection handler of the client.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "diagnostics/host_block.h"
#include "host/host.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

namespace wt::diagnostics {

namespace {

// The client's connect status for a connection that is fully established.
constexpr int kConnectionEstablished = 4;

constexpr size_t kIdentityLineSize = 1024;

bool reportClientLibVersion(uint64_t handler) {
    HostText version;
    if (version.keepOnSuccess(host::getClientLibVersion(&version.data)) != host::kOk) {
        host::log("Error querying client lib version", host::kLogError, handler);
        return false;
    }
    std::printf("PLUGIN: Client lib version: %s\n", printable(version.data));
    return true;
}

void logPluginIdentity(uint64_t handler) {
    char line[kIdentityLineSize];
    std::snprintf(line, sizeof line, "Plugin %s, Version %s, Author: %s", ts3plugin_name(),
                  ts3plugin_version(), ts3plugin_author());
    host::log(line, host::kLogInfo, handler);
}

bool reportServer(uint64_t handler) {
    {
        HostText name;
        const unsigned int result = name.keepOnSuccess(
            host::getServerVariableAsString(handler, host::kServerName, &name.data));
        if (result == host::kNotConnected) return false;  // no connection, nothing to say
        if (result != host::kOk) {
            host::log("Error querying server name", host::kLogError, handler);
            return false;
        }
        std::printf("PLUGIN: Server name: %s\n", printable(name.data));
    }
    HostText welcome;
    if (welcome.keepOnSuccess(host::getServerVariableAsString(handler, host::kServerWelcomeMessage,
                                                              &welcome.data)) != host::kOk) {
        host::log("Error querying server welcome message", host::kLogError, handler);
        return false;
    }
    std::printf("PLUGIN: Server welcome message: %s\n", printable(welcome.data));
    return true;
}

bool reportOwnClient(uint64_t handler) {
    uint16_t ownClientId = 0;
    if (host::getClientID(handler, &ownClientId) != host::kOk) {
        host::log("Error querying client ID", host::kLogError, handler);
        return false;
    }
    HostText nickname;
    if (nickname.keepOnSuccess(host::getClientSelfVariableAsString(handler, host::kClientNickname,
                                                                   &nickname.data)) != host::kOk) {
        host::log("Error querying client nickname", host::kLogError, handler);
        return false;
    }
    std::printf("PLUGIN: My client ID = %d, nickname = %s\n", static_cast<int>(ownClientId),
                printable(nickname.data));
    return true;
}

bool reportChannels(uint64_t handler) {
    HostIdList channels;
    if (channels.keepOnSuccess(host::getChannelList(handler, &channels.data)) != host::kOk) {
        host::log("Error getting channel list", host::kLogError, handler);
        return false;
    }
    std::printf("PLUGIN: Available channels:\n");
    for (const uint64_t* id = channels.data; id != nullptr && *id != 0; ++id) {
        HostText name;
        if (name.keepOnSuccess(host::getChannelVariableAsString(handler, *id, host::kChannelName,
                                                                &name.data)) != host::kOk) {
            host::log("Error querying channel name", host::kLogError, handler);
            return false;
        }
        std::printf("PLUGIN: Channel ID = %llu, name = %s\n", asUnsignedLongLong(*id),
                    printable(name.data));
    }
    return true;
}

// Every server tab of the client; a tab without a connection has no line.
void reportConnectionHandlers(uint64_t handler) {
    std::printf("PLUGIN: Existing server connection handlers:\n");
    HostIdList handlers;
    if (handlers.keepOnSuccess(host::getServerConnectionHandlerList(&handlers.data)) != host::kOk) {
        host::log("Error getting server list", host::kLogError, handler);
        return;
    }
    for (const uint64_t* id = handlers.data; id != nullptr && *id != 0; ++id) {
        HostText name;
        const unsigned int result =
            name.keepOnSuccess(host::getServerVariableAsString(*id, host::kServerName, &name.data));
        if (result == host::kOk) {
            std::printf("- %llu - %s\n", asUnsignedLongLong(*id), printable(name.data));
        } else if (result != host::kNotConnected) {
            // Logged under the handler of the event, not of the tab that failed.
            host::log("Error querying server name", host::kLogError, handler);
        }
    }
}

}  // namespace

}  // namespace wt::diagnostics

WT_EXPORT void ts3plugin_onConnectStatusChangeEvent(uint64_t serverConnectionHandlerID,
                                                    int newStatus, unsigned int /*errorNumber*/) {
    using namespace wt::diagnostics;
    if (newStatus != kConnectionEstablished) return;
    const uint64_t handler = serverConnectionHandlerID;
    if (!reportClientLibVersion(handler)) return;
    logPluginIdentity(handler);
    if (!reportServer(handler) || !reportOwnClient(handler) || !reportChannels(handler)) return;
    reportConnectionHandlers(handler);
}

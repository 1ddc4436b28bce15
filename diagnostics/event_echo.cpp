// One-line console echoes of client events.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "host/host.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

namespace {

using wt::asUnsignedLongLong;
using wt::endWithinBuffer;
using wt::printable;

constexpr int kTalking = 1;
constexpr size_t kDisplayNameSize = 512;

}  // namespace

WT_EXPORT void ts3plugin_onTalkStatusChangeEvent(uint64_t serverConnectionHandlerID, int status,
                                                 int /*isReceivedWhisper*/, uint16_t clientID) {
    char name[kDisplayNameSize] = {};
    if (wt::host::getClientDisplayName(serverConnectionHandlerID, clientID, name,
                                       kDisplayNameSize) != wt::host::kOk) {
        return;
    }
    endWithinBuffer(name, sizeof name);
    if (status == kTalking) {
        std::printf("--> %s starts talking\n", name);
    } else {
        std::printf("--> %s stops talking\n", name);
    }
}

WT_EXPORT int ts3plugin_onTextMessageEvent(uint64_t serverConnectionHandlerID, uint16_t targetMode,
                                           uint16_t /*toID*/, uint16_t fromID, const char* fromName,
                                           const char* /*fromUniqueIdentifier*/,
                                           const char* message, int ffIgnored) {
    std::printf("PLUGIN: onTextMessageEvent %llu %d %d %s %s %d\n",
                asUnsignedLongLong(serverConnectionHandlerID), static_cast<int>(targetMode),
                static_cast<int>(fromID), printable(fromName), printable(message), ffIgnored);
    return 0;
}

WT_EXPORT int ts3plugin_onServerErrorEvent(uint64_t serverConnectionHandlerID,
                                           const char* errorMessage, unsigned int error,
                                           const char* returnCode, const char* /*extraMessage*/) {
    std::printf("PLUGIN: onServerErrorEvent %llu %s %d %s\n",
                asUnsignedLongLong(serverConnectionHandlerID), printable(errorMessage),
                static_cast<int>(error), printable(returnCode));
    return returnCode != nullptr ? 1 : 0;
}

WT_EXPORT void ts3plugin_onAvatarUpdated(uint64_t serverConnectionHandlerID, uint16_t clientID,
                                         const char* avatarPath) {
    if (avatarPath != nullptr) {
        std::printf("onAvatarUpdated: %llu %d %s\n", asUnsignedLongLong(serverConnectionHandlerID),
                    static_cast<int>(clientID), avatarPath);
    } else {
        std::printf("onAvatarUpdated: %llu %d - deleted\n",
                    asUnsignedLongLong(serverConnectionHandlerID), static_cast<int>(clientID));
    }
}

WT_EXPORT void ts3plugin_onPluginCommandEvent(uint64_t /*serverConnectionHandlerID*/,
                                              const char* pluginName, const char* pluginCommand) {
    std::printf("ON PLUGIN COMMAND: %s %s\n", printable(pluginName), printable(pluginCommand));
}

WT_EXPORT void ts3plugin_currentServerConnectionChanged(uint64_t serverConnectionHandlerID) {
    std::printf("PLUGIN: currentServerConnectionChanged %llu (%llu)\n",
                asUnsignedLongLong(serverConnectionHandlerID),
                asUnsignedLongLong(wt::host::getCurrentServerConnectionHandlerID()));
}

// The plugin's section of the client's info panel: one sentence naming the selected
// server, channel or client.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "diagnostics/host_block.h"
#include "host/host.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

namespace wt::diagnostics {

namespace {

constexpr int kItemServer = 0;
constexpr int kItemChannel = 1;
constexpr int kItemClient = 2;

constexpr size_t kInfoTextSize = 128;

// "nickname" for all three item types: a server shows its name and a channel its name
// in the same sentence. A name too long for the buffer is cut short at a character
// boundary, so the closing quote and tag always stay.
constexpr const char* kInfoSentence = "The nickname is [I]\"%.*s\"[/I]";

// Queries the item's name; on failure prints why and hands over nothing.
unsigned int queryItemName(uint64_t handler, uint64_t item, int type, char** name) {
    unsigned int result = host::kHostUnavailable;
    switch (type) {
        case kItemServer:
            result = host::getServerVariableAsString(handler, host::kServerName, name);
            if (result != host::kOk) std::printf("Error getting virtual server name\n");
            break;
        case kItemChannel:
            result = host::getChannelVariableAsString(handler, item, host::kChannelName, name);
            if (result != host::kOk) std::printf("Error getting channel name\n");
            break;
        case kItemClient:
            result = host::getClientVariableAsString(handler, static_cast<uint16_t>(item),
                                                     host::kClientNickname, name);
            if (result != host::kOk) std::printf("Error getting client nickname\n");
            break;
        default:
            std::printf("Invalid item type: %d\n", type);
            break;
    }
    return result;
}

}  // namespace

}  // namespace wt::diagnostics

WT_EXPORT const char* ts3plugin_infoTitle(void) {
    return "MOR-LEX Wacky Throats 1.0 info";
}

WT_EXPORT void ts3plugin_infoData(uint64_t serverConnectionHandlerID, uint64_t id, int type,
                                  char** data) {
    using namespace wt;
    using namespace wt::diagnostics;
    HostText name;
    if (name.keepOnSuccess(queryItemName(serverConnectionHandlerID, id, type, &name.data)) !=
        wt::host::kOk) {
        return;
    }
    if (data == nullptr) return;
    char* info = static_cast<char*>(std::malloc(kInfoTextSize));
    if (info == nullptr) return;
    const char* shown = printable(name.data);
    const int fixed = std::snprintf(nullptr, 0, kInfoSentence, 0, "");
    const size_t room = kInfoTextSize - 1 - static_cast<size_t>(fixed);
    std::snprintf(info, kInfoTextSize, kInfoSentence, fittingLength(shown, room), shown);
    *data = info;
}

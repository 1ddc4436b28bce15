// The automatic private reply to pokes.

#include <cstdint>
#include <cstdio>

#include "host/host.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

WT_EXPORT int ts3plugin_onClientPokeEvent(uint64_t serverConnectionHandlerID, uint16_t fromClientID,
                                          const char* pokerName,
                                          const char* /*pokerUniqueIdentity*/, const char* message,
                                          int ffIgnored) {
    using namespace wt;

    const uint64_t handler = serverConnectionHandlerID;
    std::printf("PLUGIN onClientPokeEvent: %llu %d %s %s %d\n", asUnsignedLongLong(handler),
                static_cast<int>(fromClientID), printable(pokerName), printable(message),
                ffIgnored);
    if (ffIgnored != 0) return 0;

    uint16_t ownClientId = 0;
    if (host::getClientID(handler, &ownClientId) != host::kOk) {
        host::log("Error querying own client id", host::kLogError, handler);
        return 0;
    }
    if (fromClientID == ownClientId) return 0;
    if (host::requestSendPrivateTextMsg(handler, "Received your poke!", fromClientID, nullptr) !=
        host::kOk) {
        host::log("Error requesting send text message", host::kLogError, handler);
    }
    return 0;
}

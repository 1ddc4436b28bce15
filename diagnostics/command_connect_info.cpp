// "serverinfo" and "channelinfo": connect information shown in the current tab.

#include <cstddef>
#include <cstdio>

#include "diagnostics/subcommands.h"
#include "host/host.h"
#include "plugin/text_fit.h"

namespace wt::diagnostics {

namespace {

constexpr size_t kHostNameSize = 256;     // getServerConnectInfo's host buffer
constexpr size_t kServerLineSize = 256;   // "Server Connect Info: ..." with terminator
constexpr size_t kChannelPathSize = 512;  // getChannelConnectInfo's path buffer
constexpr size_t kChannelLineSize = 512;  // "Channel Connect Info: ..." with terminator

// The client's text is cut short (at a character boundary) so that the fixed parts of
// the line, the port included, always fit.
constexpr const char* kServerLine = "Server Connect Info: %.*s:%d";
constexpr const char* kChannelLine = "Channel Connect Info: %.*s";

}  // namespace

void runServerInfo(uint64_t handler) {
    char hostName[kHostNameSize] = {};
    uint16_t port = 0;
    if (host::getServerConnectInfo(handler, hostName, &port, nullptr, kHostNameSize) != host::kOk) {
        host::printMessageToCurrentTab("No server connect info available.");
        return;
    }
    endWithinBuffer(hostName, sizeof hostName);
    const int fixed = std::snprintf(nullptr, 0, kServerLine, 0, "", static_cast<int>(port));
    const int room = static_cast<int>(kServerLineSize) - 1 - fixed;
    char line[kServerLineSize];
    std::snprintf(line, sizeof line, kServerLine,
                  fittingLength(hostName, static_cast<size_t>(room)), hostName,
                  static_cast<int>(port));
    host::printMessageToCurrentTab(line);
}

void runChannelInfo(uint64_t handler) {
    uint16_t ownClientId = 0;
    if (host::getClientID(handler, &ownClientId) != host::kOk) {
        host::log("Error querying client ID", host::kLogError, handler);
        return;
    }
    uint64_t channelId = 0;
    if (host::getChannelOfClient(handler, ownClientId, &channelId) != host::kOk) {
        host::log("Error querying channel ID", host::kLogError, handler);
        return;
    }
    char path[kChannelPathSize] = {};
    if (host::getChannelConnectInfo(handler, channelId, path, nullptr, kChannelPathSize) !=
        host::kOk) {
        host::printMessageToCurrentTab("No channel connect info available.");
        return;
    }
    endWithinBuffer(path, sizeof path);
    const int fixed = std::snprintf(nullptr, 0, kChannelLine, 0, "");
    const int room = static_cast<int>(kChannelLineSize) - 1 - fixed;
    char line[kChannelLineSize];
    std::snprintf(line, sizeof line, kChannelLine, fittingLength(path, static_cast<size_t>(room)),
                  path);
    host::printMessageToCurrentTab(line);
}

}  // namespace wt::diagnostics

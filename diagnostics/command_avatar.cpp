// "avatar": reports a client's avatar file on the console.

#include <cstddef>
#include <cstdio>

#include "diagnostics/command_number.h"
#include "diagnostics/subcommands.h"
#include "host/host.h"
#include "plugin/text_fit.h"

namespace wt::diagnostics {

namespace {

constexpr size_t kAvatarPathSize = 512;

}  // namespace

void runAvatar(uint64_t handler, const char* client) {
    if (client == nullptr) {
        host::printMessageToCurrentTab("Missing client ID parameter.");
        return;
    }
    // Zeroed first: an avatar that is not downloaded yet leaves the path empty.
    char path[kAvatarPathSize] = {};
    const unsigned int result = host::getAvatar(handler, readClientId(client), path, sizeof path);
    endWithinBuffer(path, sizeof path);
    if (result == host::kOk && path[0] != '\0') {
        std::printf("Avatar path: %s\n", path);
    } else if (result == host::kOk) {
        std::printf("Avatar not yet downloaded, waiting for onAvatarUpdated...\n");
    } else if (result == host::kNoAvatar) {
        std::printf("Client has no avatar\n");
    } else {
        std::printf("Error getting avatar: %d\n", static_cast<int>(result));
    }
}

}  // namespace wt::diagnostics

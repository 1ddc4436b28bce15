#pragma once

// The thin wrapper through which every call into the client goes. Each function forwards
// to the slot of the same name in the table kept by install(). A call made before the
// table is installed, or to a slot the client left null, does not reach the client and
// reports kHostUnavailable (or handler ID 0), so bad input from the client cannot crash
// the plugin.

#include <cstddef>
#include <cstdint>

#include "host/host_functions.h"

namespace wt::host {

// Never a result the client gives: distinct from success (0) and from every code the
// plugin tests by value.
inline constexpr unsigned int kHostUnavailable = 0xFFFFFFFFu;

// Host result codes the plugin tests by value.
inline constexpr unsigned int kOk = 0;
inline constexpr unsigned int kNotConnected = 1794;  // 0x0702
inline constexpr unsigned int kNoAvatar = 1281;      // 0x0501

// Log severities and the one log channel the plugin writes to.
inline constexpr int kLogError = 1;
inline constexpr int kLogInfo = 4;
inline constexpr const char* kLogChannel = "Plugin";

// Variable flags.
inline constexpr int kServerName = 1;
inline constexpr int kServerWelcomeMessage = 2;
inline constexpr int kChannelName = 0;
inline constexpr int kClientNickname = 1;

// Size of every path buffer the plugin hands to the client, terminator included.
inline constexpr size_t kPathSize = 512;

// Copies the whole table. Called once, before any other call into the client.
void install(const HostFunctions& table);

// One function per host function of host/host_function_list.h, with its name and parameters.
#define WT_HOST_WRAPPER(slot, Result, name, parameters, arguments) Result name parameters;
WT_HOST_FUNCTIONS(WT_HOST_WRAPPER)
#undef WT_HOST_WRAPPER

// Logs `message` to the plugin's channel with the handler ID as log ID.
inline unsigned int log(const char* message, int severity, uint64_t handler) {
    return logMessage(message, severity, kLogChannel, handler);
}

}  // namespace wt::host

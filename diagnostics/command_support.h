#pragma once

// What several subcommands of the "test" command share: the plugin identifier check and
// the return code that goes with each request.

#include <cstddef>

#include "plugin/plugin_id.h"

namespace wt::diagnostics {

// createReturnCode writes into a buffer of this size, terminator included.
inline constexpr size_t kReturnCodeSize = 128;

// Whether `pluginId` holds an identifier the client registered. While there is none,
// prints "PLUGIN: Failed to <action>, was not registered.\n" and returns false: no
// subcommand hands the client a null identifier. A subcommand holds its PluginIdUse until
// its last request has gone out, so every request carries the same identifier, whole.
bool registeredOrReport(const PluginIdUse& pluginId, const char* action);

// Asks the client for a fresh return code for `pluginId`. The code is empty when the
// client writes none, and always terminated within the buffer.
void createReturnCode(const char* pluginId, char (&code)[kReturnCodeSize]);

}  // namespace wt::diagnostics

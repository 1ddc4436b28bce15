#pragma once

#include <cstddef>
#include <string>

#include "host/host_functions.h"

// The client side of the function table, as far as a tool needs it: the start-up path
// queries, the log, and an honest freeMemory that releases only blocks this host handed
// out and counts everything else. The plugin reaches no other host function during a
// session; those slots stay null, which the plugin treats as an unavailable function.
// One host per process: the table's functions carry no context, so the state is static.
namespace wt::session {

struct HostPaths {
    std::string app;        // the tool's directory
    std::string resources;  // the tool's directory
    std::string config;     // the tool's directory
    std::string plugins;    // the plugin library's directory
};

// Sets the answers to the path queries, the client version text ("<toolName> host") and
// whether log lines are shown on standard error, and returns the table to hand to
// ts3plugin_setFunctionPointers.
HostFunctions makeHostFunctions(const HostPaths& paths, bool showLog, const std::string& toolName);

struct HostLedger {
    size_t outstanding;   // blocks handed to the plugin and not yet given back
    size_t foreignFrees;  // freeMemory calls with a pointer this host never handed out
};

HostLedger hostLedger();

}  // namespace wt::session

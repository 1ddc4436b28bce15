#pragma once

#include <cstdio>
#include <string>

namespace wt::session {

// What the client lists about the plugin, from its identity entry points alone (no
// start-up): "plugin: NAME" and "version: VERSION" lines on `results`. Throws ToolError:
// PluginNotLoadable, EntryPointMissing.
void printIdentity(const std::string& pluginPath, std::FILE* results);

}  // namespace wt::session

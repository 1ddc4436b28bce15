#pragma once

// What the library keeps for as long as it is loaded, given back when it is unloaded.

namespace wt {

// Releases the converted plugin name (identity.cpp): ts3plugin_name() then answers with
// its static narrow form. For the unload hook only.
void releasePluginName();

// Runs every release above and releasePluginIds(). Called once, by the library's unload
// hook (unload.cpp, and DllMain on Windows), when the client can no longer reach the
// plugin's code through its handle.
void releaseAtUnload();

}  // namespace wt

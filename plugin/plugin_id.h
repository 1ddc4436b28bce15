#pragma once

namespace wt {

// The identifier the client assigned through ts3plugin_registerPluginID, or null before
// registration, after ts3plugin_shutdown, and when the copy could not be made.
// The pointer stays valid until the next registration or shutdown (both on the client's
// main thread); callers use it within one entry point and never keep it. Takes no lock.
const char* registeredPluginId();

}  // namespace wt

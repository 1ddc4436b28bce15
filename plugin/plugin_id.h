#pragma once

namespace wt {

// The identifier the client assigned through ts3plugin_registerPluginID, held for one use.
// Constructing a PluginIdUse takes the identifier kept at that moment: null before
// registration, after ts3plugin_shutdown, and when no copy could be made. Its text stays
// valid and unchanged until the PluginIdUse is destroyed, whatever other client threads
// register or shut down meanwhile; a copy they replace is released once no use of it is
// left. Lock-free, allocates nothing. Live within one entry point; never kept.
class PluginIdUse {
  public:
    PluginIdUse();
    ~PluginIdUse();
    PluginIdUse(const PluginIdUse&) = delete;
    PluginIdUse& operator=(const PluginIdUse&) = delete;

    const char* text() const { return text_; }

  private:
    const char* text_;
};

// Releases the kept identifier and every replaced copy still waiting for its last use to
// end: with no use alive, all of them; otherwise (a client thread still inside the plugin
// while the process ends) none. For the library's unload only; no copy is leaked by a
// client that unloads without ts3plugin_shutdown.
void releasePluginIds();

}  // namespace wt

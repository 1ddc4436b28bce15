#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One load of the plugin, driven the way the client drives it: function table, init,
// plugin ID, menu list, menu and voice events, shutdown, unload. Every block the plugin
// hands over goes back through ts3plugin_freeMemory before the call that got it returns.
namespace wt::session {

static_assert(sizeof(short) == sizeof(int16_t));

// Texts of the strength items, by which the tool finds them in the plugin's menu.
inline constexpr const char* kIncreaseStrengthText = "Increase effect strength";
inline constexpr const char* kDecreaseStrengthText = "Decrease effect strength";
inline constexpr const char* kNoEffectText = "No effect";

struct MenuEntry {
    int32_t id;
    std::string text;
};

class PluginSession {
  public:
    // Loads the library at `path` and starts it. Throws ToolError: PluginNotLoadable
    // (with the loader's message), EntryPointMissing (naming it).
    // showPluginLog: the plugin's client-log lines go to standard error.
    // toolName: the plugin ID the plugin is given, and the prefix of the tool's warnings.
    PluginSession(const std::string& path, bool showPluginLog, const std::string& toolName);

    // Shuts the plugin down and unloads it; warns on standard error if the plugin kept a
    // host block or handed the host a pointer it never gave out.
    ~PluginSession();

    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // The plugin's global menu, in its order, as read once after start-up.
    const std::vector<MenuEntry>& menu() const { return menu_; }

    // A click on a global menu item. Call it on one thread at a time, which may differ
    // from the capture thread, as the client's menu events do.
    void pressMenuItem(int32_t id);

    // One capture buffer of `frames` mono samples, rewritten in place by the plugin.
    // Allocates nothing and takes no lock: safe on a real-time audio thread.
    void captureVoice(int16_t* samples, int frames);

  private:
    struct EntryPoints;
    void* library_ = nullptr;
    std::unique_ptr<EntryPoints> entry_;
    std::vector<MenuEntry> menu_;
    std::string toolName_;
};

}  // namespace wt::session

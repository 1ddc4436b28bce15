#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One load of the plugin, driven the way the client drives it: function table, init,
// plugin ID, menu list, menu and voice events, shutdown, unload. Every block the plugin
// hands over goes back through ts3plugin_freeMemory before the call that got it returns.
namespace wt::render {

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
    // Loads the library at `path` and starts it. Throws RenderError: PluginNotLoadable
    // (with the loader's message), EntryPointMissing (naming it).
    // showPluginLog: the plugin's client-log lines go to standard error.
    PluginSession(const std::string& path, bool showPluginLog);

    // Shuts the plugin down and unloads it; warns on standard error if the plugin kept a
    // host block or handed the host a pointer it never gave out.
    ~PluginSession();

    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // The plugin's global menu, in its order, as read once after start-up.
    const std::vector<MenuEntry>& menu() const { return menu_; }

    // A click on a global menu item.
    void pressMenuItem(int32_t id);

    // One capture buffer of `frames` mono samples, rewritten in place by the plugin.
    void captureVoice(int16_t* samples, int frames);

  private:
    struct EntryPoints;
    void* library_ = nullptr;
    std::unique_ptr<EntryPoints> entry_;
    std::vector<MenuEntry> menu_;
};

}  // namespace wt::render

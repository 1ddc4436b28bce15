#pragma once

#include <optional>
#include <string>
#include <vector>

// The settings the desktop app saved last, read without Qt, so that wacky-live started
// with no window (the systemd user unit) runs as the app last ran. One file, written by
// the app through QSettings in its INI format: section [General], one "key=value" a line,
// a string with special characters in double quotes with backslash escapes.
//   effect=Robot            a menu text, or "none"
//   strength=0.75           a strength the menu reaches: 0, 0.25, 0.5, 0.75 or 1
//   input=                  a node.name; empty: the default source
//   hearYourself=false      true or false: play the changed voice back (--monitor)
// Every other key and section (the window's geometry) is the app's alone. [any thread]
namespace wt::session {

struct SavedSettings {
    std::optional<std::string> effect;
    std::optional<std::string> strengthText;  // as saved, for messages
    std::optional<double> strength;           // set together with strengthText
    std::optional<std::string> input;
    std::optional<bool> hearYourself;
};

// Where the file is, as messages and the manual show it; XDG_CONFIG_HOME defaults to
// ~/.config.
inline constexpr const char* kSavedSettingsFile =
    "$XDG_CONFIG_HOME/wacky-throats/wacky-throats.conf";

// That path: empty when neither XDG_CONFIG_HOME (absolute) nor HOME is set.
std::string savedSettingsPath();

// The settings in `text`, the file's contents. A value the app never writes is left unset
// and described, naming its key, in one line appended to `problems`.
SavedSettings parseSavedSettings(const std::string& text, std::vector<std::string>& problems);

// The settings in the file at `path`. A missing file holds none and is no problem; one
// that exists but cannot be read is one.
SavedSettings readSavedSettings(const std::string& path, std::vector<std::string>& problems);

}  // namespace wt::session

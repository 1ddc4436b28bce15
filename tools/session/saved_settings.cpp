#include "tools/session/saved_settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "tools/session/strength_plan.h"

namespace wt::session {

namespace {

// kSavedSettingsFile starts with the variable; the rest is the path under its folder.
constexpr std::string_view kConfigVariable = "XDG_CONFIG_HOME";
static_assert(kSavedSettingsFile[0] == '$' &&
              std::string_view(kSavedSettingsFile).substr(1).starts_with(kConfigVariable));

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A value as QSettings writes a string: bare, or in double quotes when it has characters
// the format reserves, backslash escapes in both.
std::string unquoted(const std::string& raw) {
    std::string value;
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            value += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
        } else if (c == ';' && !quoted) {
            break;  // a comment to the end of the line
        } else {
            value += c;
        }
    }
    return trimmed(value);
}

std::string reachableList() {
    std::ostringstream list;
    const std::vector<float> values = reachableStrengths();
    for (size_t i = 0; i < values.size(); ++i)
        list << (i == 0 ? "" : i + 1 == values.size() ? " or " : ", ") << values[i];
    return list.str();
}

void readStrength(const std::string& value, SavedSettings& settings,
                  std::vector<std::string>& problems) {
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    bool reachable = false;
    if (!value.empty() && *end == '\0')
        for (const float step : reachableStrengths())
            reachable = reachable || static_cast<float>(number) == step;
    if (!reachable) {
        problems.push_back("strength \"" + value + "\" is none of " + reachableList() +
                           ": ignored");
        return;
    }
    settings.strengthText = value;
    settings.strength = number;
}

}  // namespace

std::string savedSettingsPath() {
    const char* config = std::getenv(std::string(kConfigVariable).c_str());
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        folder = std::string(home) + "/.config";
    } else {
        return "";
    }
    return folder +
           std::string(std::string_view(kSavedSettingsFile).substr(1 + kConfigVariable.size()));
}

SavedSettings parseSavedSettings(const std::string& text, std::vector<std::string>& problems) {
    SavedSettings settings;
    std::istringstream lines(text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t equals = line.find('=');
        if (section != "General" || equals == std::string::npos) continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = unquoted(line.substr(equals + 1));
        if (key == "effect") {
            if (value.empty())
                problems.push_back("effect is empty: ignored");
            else
                settings.effect = value;
        } else if (key == "strength") {
            readStrength(value, settings, problems);
        } else if (key == "input") {
            settings.input = value;
        } else if (key == "hearYourself") {
            if (value == "true" || value == "false")
                settings.hearYourself = value == "true";
            else
                problems.push_back("hearYourself \"" + value +
                                   "\" is neither true nor false: ignored");
        }
    }
    return settings;
}

SavedSettings readSavedSettings(const std::string& path, std::vector<std::string>& problems) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::error_code error;
        if (std::filesystem::exists(path, error))
            problems.push_back("cannot read " + path + ": ignored");
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseSavedSettings(text.str(), problems);
}

}  // namespace wt::session

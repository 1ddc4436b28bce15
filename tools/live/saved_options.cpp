#include "tools/live/saved_options.h"

#include <cstdio>
#include <vector>

#include "tools/session/exit_codes.h"
#include "tools/session/saved_settings.h"

namespace wt::live {

session::OptionRow savedSettingsOption() {
    return {kSavedSettingsFlag, "",
            "take the effect, strength, input and hear-yourself the desktop app saved last, from " +
                std::string(session::kSavedSettingsFile) +
                " (XDG_CONFIG_HOME defaults to ~/.config), where no option here sets them; a "
                "missing file changes nothing"};
}

void applySavedSettings(Options& options, const std::set<std::string>& given) {
    const std::string path = session::savedSettingsPath();
    std::vector<std::string> problems;
    const session::SavedSettings saved =
        path.empty() ? session::SavedSettings{} : session::readSavedSettings(path, problems);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s: %s: %s\n", session::toolName(session::Tool::Live), path.c_str(),
                     problem.c_str());
    const auto unset = [&](const char* flag) { return given.count(flag) == 0; };
    if (saved.effect && unset("--effect")) {
        options.effect = *saved.effect;
        options.savedEffect = true;
    }
    if (saved.strength && unset("--strength")) {
        options.strength = *saved.strength;
        options.strengthText = *saved.strengthText;
    }
    if (saved.input && unset("--input")) {
        options.input = *saved.input;
        options.savedInput = !options.input.empty();
    }
    if (saved.hearYourself && unset("--monitor")) options.monitor = *saved.hearYourself;
}

}  // namespace wt::live

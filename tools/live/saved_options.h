#pragma once

#include <set>
#include <string>

#include "tools/live/live_options.h"
#include "tools/session/help_text.h"

// --saved-settings: wacky-live run as the desktop app last ran (the systemd user unit
// starts it so), from the one settings file both read (tools/session/saved_settings.h).
namespace wt::live {

inline constexpr const char* kSavedSettingsFlag = "--saved-settings";

// Its row in the option table.
session::OptionRow savedSettingsOption();

// Sets effect, strength, input and --monitor from the saved settings where the command
// line, whose option names are `given`, set none of them. Every problem with the file is
// one line on standard error and changes nothing. [main thread]
void applySavedSettings(Options& options, const std::set<std::string>& given);

}  // namespace wt::live

#pragma once

#include <string>
#include <vector>

#include "tools/session/help_text.h"

// The window's command line as --help and its manual page show it: the options of
// wacky-live it takes, and its own. Without Qt, so that the manual's generator can use it.
namespace wt::desktop {

inline constexpr const char* kAppProgram = WT_APP_EXECUTABLE;  // set by the build
inline constexpr const char* kBackgroundOption = "--background";

std::vector<session::OptionRow> appOptionTable();

std::string appHelpText();

}  // namespace wt::desktop

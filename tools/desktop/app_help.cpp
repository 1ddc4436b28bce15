#include "tools/desktop/app_help.h"

#include <algorithm>
#include <iterator>

#include "tools/live/live_options.h"

namespace wt::desktop {

std::vector<session::OptionRow> appOptionTable() {
    // wacky-live's rows, as they mean the same here.
    static constexpr const char* kTaken[] = {"--effect",  "--strength", "--input",
                                             "--monitor", "--quantum",  "--plugin"};
    std::vector<session::OptionRow> rows;
    for (const session::OptionRow& row : live::optionTable())
        if (std::find(std::begin(kTaken), std::end(kTaken), row.flag) != std::end(kTaken))
            rows.push_back(row);
    rows.push_back({kBackgroundOption, "",
                    "publish the microphone without showing the window, as at login; a "
                    "later launch shows it"});
    rows.push_back(session::helpOption());
    return rows;
}

std::string appHelpText() {
    return std::string("Usage: ") + kAppProgram + R"( [options]

Runs the Wacky Throats plugin live, as wacky-live does, and publishes the changed voice as a
PipeWire microphone any application can pick. The window shows the plugin's own menu, the
input, the levels and "Hear yourself". It remembers its settings across runs; the options
below win over them for one run. Launched again, it brings the running window forward.

)" + session::optionRows(appOptionTable());
}

}  // namespace wt::desktop

// make-manual NAME VERSION UNIT_DIR OUTPUT: writes the manual page of program NAME, made
// from its --help text and its tables (manual_page.h), to OUTPUT. UNIT_DIR is where the
// systemd user unit is installed, which wacky-live's page names. Run by the build.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/desktop/app_help.h"
#include "tools/live/live_options.h"
#include "tools/live/saved_options.h"
#include "tools/manual/manual_page.h"
#include "tools/render/options.h"
#include "tools/session/saved_settings.h"

namespace {

using wt::manual::ManualSource;
using wt::session::Tool;
using wt::session::toolName;

constexpr const char* kAppName = wt::desktop::kAppProgram;
constexpr const char* kUnitName = "wacky-live.service";

std::vector<ManualSource> sources(const std::string& unitDir) {
    const std::string render = toolName(Tool::Render);
    const std::string live = toolName(Tool::Live);
    const std::string settings = wt::session::kSavedSettingsFile;
    return {
        {render,
         "run a sound file through the Wacky Throats voice-changer plugin",
         wt::render::helpText(),
         wt::render::optionTable(),
         Tool::Render,
         {},
         {live, kAppName}},
        {live,
         "the Wacky Throats voice changer as a PipeWire microphone",
         wt::live::helpText(),
         wt::live::optionTable(),
         Tool::Live,
         {{settings, "the settings the desktop app saved last, read with " +
                         std::string(wt::live::kSavedSettingsFlag) +
                         " (XDG_CONFIG_HOME defaults to ~/.config)"},
          {unitDir + "/" + kUnitName,
           "the systemd user unit that runs " + live + " " + wt::live::kSavedSettingsFlag +
               " without a window: systemctl --user enable --now " + live}},
         {render, kAppName}},
        {kAppName,
         "the Wacky Throats voice changer in a window",
         wt::desktop::appHelpText(),
         wt::desktop::appOptionTable(),
         std::nullopt,
         {{settings, "the settings, also read by " + live + " " + wt::live::kSavedSettingsFlag +
                         " (XDG_CONFIG_HOME defaults to ~/.config)"}},
         {live, render}},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make-manual NAME VERSION UNIT_DIR OUTPUT\n");
        return 2;
    }
    for (const ManualSource& source : sources(argv[3])) {
        if (source.name != argv[1]) continue;
        std::ofstream out(argv[4], std::ios::binary);
        out << wt::manual::manualPage(source, argv[2]);
        return out.good() ? 0 : 1;
    }
    std::fprintf(stderr, "make-manual: no manual page for %s\n", argv[1]);
    return 2;
}

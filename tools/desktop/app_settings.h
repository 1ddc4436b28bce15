#pragma once

#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "tools/live/live_options.h"

// What the window remembers across runs, in the user's configuration folder:
// $XDG_CONFIG_HOME/wacky-throats/wacky-throats.conf, [General], shared with wacky-live's
// service, which reads the same keys. All functions are [main thread].
namespace wt::desktop {

struct SavedChoices {
    std::string effect = session::kNoEffect;  // a menu text, or "none"
    std::string strength = "0.25";            // as the strength options take it
    std::string input;                        // node.name; empty: the default source
    bool hearYourself = false;
    bool keepRunning = false;  // closing the window keeps the microphone
    QSize size;                // the window's last size; invalid before the first run
};

// The saved choices; the defaults for any key missing or unreadable.
SavedChoices loadChoices();

void saveChoices(const SavedChoices& choices);

// The settings file's path, for messages and tests.
QString settingsPath();

// wacky-live's options read from the saved choices followed by `args` (the command line
// without the program's name): an option given on the command line wins, being read
// last. `savedIgnored` tells when the saved choices were unusable together with `args`
// (an effect the plugin no longer has, say); the options are then read from `args`
// alone. Throws session::ToolError (Usage) for a bad command line.
live::Options optionsOver(const SavedChoices& saved, const std::vector<std::string>& args,
                          bool* savedIgnored);

}  // namespace wt::desktop

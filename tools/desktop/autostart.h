#pragma once

#include <QString>

#include "tools/desktop/app_help.h"

// "Start at login": an entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart/<app id>.desktop), which desktops run at login. It starts
// the application with kBackgroundOption, so the microphone is published without a window.
// All functions are [main thread].
namespace wt::desktop {

QString autostartPath();

bool autostartEnabled();

// Writes the entry for `executable` (an absolute path), or removes it. False, with
// `error` set, when the folder or the file cannot be written or removed.
bool setAutostart(bool on, const QString& executable, QString* error);

}  // namespace wt::desktop

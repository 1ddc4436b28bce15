#include "tools/desktop/app_settings.h"

#include <QSettings>
#include <QStandardPaths>

#include "tools/session/exit_codes.h"

namespace wt::desktop {

namespace {

// The keys, as wacky-live's service reads them too.
constexpr const char* kEffectKey = "effect";
constexpr const char* kStrengthKey = "strength";
constexpr const char* kInputKey = "input";
constexpr const char* kHearYourselfKey = "hearYourself";
constexpr const char* kKeepRunningKey = "keepRunning";
constexpr const char* kSizeKey = "size";

// Named in full: Qt's own name for a user's INI file ends in .ini, and wacky-live's
// service reads this one.
QSettings store() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/wacky-throats/wacky-throats.conf",
                     QSettings::IniFormat);
}

std::string text(const QSettings& settings, const char* key, const std::string& fallback) {
    return settings.value(key, QString::fromStdString(fallback)).toString().toStdString();
}

live::Options parse(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"wacky-throats"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    return live::parseOptions(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

SavedChoices loadChoices() {
    const QSettings settings = store();
    SavedChoices choices;
    choices.effect = text(settings, kEffectKey, choices.effect);
    choices.strength = text(settings, kStrengthKey, choices.strength);
    choices.input = text(settings, kInputKey, choices.input);
    choices.hearYourself = settings.value(kHearYourselfKey, choices.hearYourself).toBool();
    choices.keepRunning = settings.value(kKeepRunningKey, choices.keepRunning).toBool();
    choices.size = settings.value(kSizeKey).toSize();
    return choices;
}

void saveChoices(const SavedChoices& choices) {
    QSettings settings = store();
    settings.setValue(kEffectKey, QString::fromStdString(choices.effect));
    settings.setValue(kStrengthKey, QString::fromStdString(choices.strength));
    settings.setValue(kInputKey, QString::fromStdString(choices.input));
    settings.setValue(kHearYourselfKey, choices.hearYourself);
    settings.setValue(kKeepRunningKey, choices.keepRunning);
    if (choices.size.isValid()) settings.setValue(kSizeKey, choices.size);
    settings.sync();
}

QString settingsPath() {
    return store().fileName();
}

live::Options optionsOver(const SavedChoices& saved, const std::vector<std::string>& args,
                          bool* savedIgnored) {
    std::vector<std::string> all{"--effect", saved.effect, "--strength", saved.strength};
    if (!saved.input.empty()) all.insert(all.end(), {"--input", saved.input});
    if (saved.hearYourself) all.push_back("--monitor");
    all.insert(all.end(), args.begin(), args.end());
    *savedIgnored = false;
    try {
        return parse(all);
    } catch (const session::ToolError&) {
        // The command line alone decides whether the error is the user's.
        *savedIgnored = true;
        return parse(args);
    }
}

}  // namespace wt::desktop

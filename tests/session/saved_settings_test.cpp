// The reader of the settings the desktop app saves, against files as QSettings writes them.

#include "tools/session/saved_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

using wt::session::parseSavedSettings;
using wt::session::readSavedSettings;
using wt::session::SavedSettings;
using wt::session::savedSettingsPath;

TEST(SavedSettings, ReadsWhatTheAppWritesAndNothingElse) {
    std::vector<std::string> problems;
    const SavedSettings saved = parseSavedSettings(
        "[General]\n"
        "effect=Space Voice 2\n"
        "geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n"
        "hearYourself=true\n"
        "input=\"alsa_input.usb-Mic_1, front\"\n"
        "strength=0.75\n"
        "\n"
        "[Window]\n"
        "effect=Robot\n",
        problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(saved.effect, "Space Voice 2");
    EXPECT_EQ(saved.strength, 0.75);
    EXPECT_EQ(saved.strengthText, "0.75");
    EXPECT_EQ(saved.input, "alsa_input.usb-Mic_1, front");
    EXPECT_EQ(saved.hearYourself, true);
}

TEST(SavedSettings, EmptyInputMeansTheDefaultSource) {
    std::vector<std::string> problems;
    EXPECT_EQ(parseSavedSettings("[General]\r\ninput=\r\n", problems).input, "");
    EXPECT_TRUE(problems.empty());
}

TEST(SavedSettings, EachBadValueIsOneProblemNamingItsKeyAndIsIgnored) {
    std::vector<std::string> problems;
    const SavedSettings saved = parseSavedSettings(
        "[General]\neffect=\nstrength=0.3\nhearYourself=yes\ninput=bluez_input.1\n", problems);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("effect"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("strength \"0.3\""), std::string::npos) << problems[1];
    EXPECT_NE(problems[1].find("0, 0.25, 0.5, 0.75 or 1"), std::string::npos) << problems[1];
    EXPECT_NE(problems[2].find("hearYourself \"yes\""), std::string::npos) << problems[2];
    EXPECT_FALSE(saved.effect || saved.strength || saved.strengthText || saved.hearYourself);
    EXPECT_EQ(saved.input, "bluez_input.1");
}

TEST(SavedSettings, MissingFileHoldsNothingAndIsNoProblem) {
    std::vector<std::string> problems;
    const SavedSettings saved = readSavedSettings("/nonexistent/wacky-throats.conf", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_FALSE(saved.effect || saved.strength || saved.input || saved.hearYourself);
}

TEST(SavedSettings, PathInTheConfigurationFolderHomeConfigByDefault) {
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/tmp/config", 1);
    EXPECT_EQ(savedSettingsPath(), "/tmp/config/wacky-throats/wacky-throats.conf");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(savedSettingsPath(), "/home/someone/.config/wacky-throats/wacky-throats.conf");
    unsetenv("HOME");
    EXPECT_EQ(savedSettingsPath(), "");
}

}  // namespace

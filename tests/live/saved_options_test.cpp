// wacky-live --saved-settings: the app's saved settings under what the command line says.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/live/live_options.h"

namespace {

namespace fs = std::filesystem;

class SavedOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        config_ = fs::temp_directory_path() / ("wt-saved-" + std::to_string(getpid()));
        fs::create_directories(config_ / "wacky-throats");
        std::ofstream(config_ / "wacky-throats/wacky-throats.conf")
            << "[General]\neffect=Robot\nstrength=1\ninput=alsa_input.usb\nhearYourself=true\n";
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    }

    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(config_);
    }

    fs::path config_;
};

TEST_F(SavedOptions, TakesTheSavedValuesTheCommandLineLeavesOut) {
    const char* argv[] = {"wacky-live", "--effect=none", "--saved-settings", "--input", "mic2"};
    const wt::live::Options options = wt::live::parseOptions(5, argv);
    EXPECT_EQ(options.effect, "none");
    EXPECT_EQ(options.input, "mic2");
    EXPECT_EQ(options.strength, 1.0);
    EXPECT_EQ(options.strengthText, "1");
    EXPECT_TRUE(options.monitor);
}

TEST_F(SavedOptions, WithoutTheOptionTheFileIsNotRead) {
    const char* argv[] = {"wacky-live"};
    const wt::live::Options options = wt::live::parseOptions(1, argv);
    EXPECT_EQ(options.effect, wt::live::Options{}.effect);
    EXPECT_TRUE(options.input.empty());
    EXPECT_FALSE(options.monitor);
}

}  // namespace

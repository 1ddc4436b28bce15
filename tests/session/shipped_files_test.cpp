// The tools' own files found from the tool's folder: the build tree's layout and the
// installed one, in a folder made for each case.

#include "tools/session/shipped_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/session/platform.h"

namespace {

namespace fs = std::filesystem;
using wt::session::bundledSamplePath;
using wt::session::defaultPluginPath;

class ShippedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("wt-shipped-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        bin_ = root_ / "usr/bin";
        installedPlugin_ =
            (bin_ / WT_PLUGIN_DIR_FROM_BINDIR / wt::session::platform::kPluginFileName)
                .lexically_normal();
        fs::remove_all(root_);
        fs::create_directories(bin_);
    }

    void TearDown() override { fs::remove_all(root_); }

    static void touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file).put('x');
    }

    fs::path root_;
    fs::path bin_;
    fs::path installedPlugin_;
};

TEST_F(ShippedFiles, InstalledTreeFindsThePluginAndSampleUnderItsPrefix) {
    touch(installedPlugin_);
    const fs::path sample =
        (bin_ / WT_DATA_DIR_FROM_BINDIR / "samples/voice.wav").lexically_normal();
    touch(sample);
    EXPECT_EQ(defaultPluginPath(bin_.string()), installedPlugin_.string());
    EXPECT_EQ(bundledSamplePath(bin_.string()), sample.string());
    EXPECT_TRUE(installedPlugin_.string().starts_with(root_.string())) << installedPlugin_;
}

TEST_F(ShippedFiles, BuildTreeCopyBesideTheToolWins) {
    touch(installedPlugin_);
    touch(bin_ / wt::session::platform::kPluginFileName);
    EXPECT_EQ(defaultPluginPath(bin_.string()),
              (bin_ / wt::session::platform::kPluginFileName).string());
}

TEST_F(ShippedFiles, NeitherThereNamesTheOneBesideTheTool) {
    EXPECT_EQ(bundledSamplePath(bin_.string()), (bin_ / "samples/voice.wav").string());
}

}  // namespace

// Loading the built library as every host of ours does: typed entry points, a missing
// symbol as null, a failed load with the loader's reason, and a bare file name that means
// the file here, never one found on the system's library path.

#include "tools/host_core/plugin_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "tests/testhost/test_host.h"

namespace {

namespace fs = std::filesystem;
using namespace wt::hostcore;

TEST(PluginLibrary, OpensTheBuiltLibraryWithItsEntryPointsTypedAndNothingElse) {
    std::string error;
    void* library = openLibrary(wt::testhost::builtPluginPath(), &error);
    ASSERT_NE(library, nullptr) << error;
    const auto apiVersion = WT_ENTRY_POINT(library, apiVersion);
    ASSERT_NE(apiVersion, nullptr);
    EXPECT_EQ(apiVersion(), kInterfaceVersion);
    EXPECT_EQ(librarySymbol(library, "ts3plugin_noSuchEntryPoint"), nullptr);
    closeLibrary(library);
}

TEST(PluginLibrary, AFailedLoadGivesTheLoadersReasonAndNullHandlesAreHarmless) {
    std::string error;
    EXPECT_EQ(openLibrary("/no/such/dir/wacky_throats.library", &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(openLibrary("/no/such/dir/wacky_throats.library", nullptr), nullptr);
    EXPECT_EQ(librarySymbol(nullptr, "ts3plugin_init"), nullptr);
    closeLibrary(nullptr);
}

TEST(PluginLibrary, ABareNameIsTheFileInTheCurrentDirectory) {
    const fs::path source(wt::testhost::builtPluginPath());
    const fs::path here =
        fs::temp_directory_path() / ("wt_bare_name_" + std::to_string(processId()));
    fs::create_directories(here);
    const std::string bare = "bare" + source.extension().string();
    fs::copy_file(source, here / bare, fs::copy_options::overwrite_existing);
    const fs::path before = fs::current_path();
    fs::current_path(here);

    void* library = openLibrary(bare, nullptr);
    EXPECT_NE(library, nullptr);
    closeLibrary(library);
#if !defined(_WIN32)
    // A library every process has, found only by a search of the system path. (The
    // Windows loader answers a system DLL's name with the one it already has loaded,
    // whatever directory the path names, so this half holds where the path is kept to.)
    std::string error;
    EXPECT_EQ(openLibrary("libc.so.6", &error), nullptr);
    EXPECT_FALSE(error.empty());
#endif

    fs::current_path(before);
    std::error_code ignored;
    fs::remove_all(here, ignored);
}

}  // namespace

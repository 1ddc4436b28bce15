#include "tools/session/shipped_files.h"

#include <filesystem>
#include <system_error>

#include "tools/session/platform.h"

namespace wt::session {

namespace {

// The build tree puts the sample in this folder beside the tools; an installation puts it
// in the data folder under the same name.
constexpr const char* kSampleName = "samples/voice.wav";

std::string besideOrInstalled(const std::string& toolDirectory, const std::string& name,
                              const char* installedFolder) {
    const std::string beside = toolDirectory + "/" + name;
    const std::string installed =
        (std::filesystem::path(toolDirectory) / installedFolder / name).lexically_normal().string();
    std::error_code error;
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error))
        return installed;
    return beside;
}

}  // namespace

std::string defaultPluginPath(const std::string& toolDirectory) {
    return besideOrInstalled(toolDirectory, platform::kPluginFileName, WT_PLUGIN_DIR_FROM_BINDIR);
}

std::string bundledSamplePath(const std::string& toolDirectory) {
    return besideOrInstalled(toolDirectory, kSampleName, WT_DATA_DIR_FROM_BINDIR);
}

}  // namespace wt::session

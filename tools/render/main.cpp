// wacky-render: runs a sound file through the built plugin, loaded as the client loads it.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/render/levels.h"
#include "tools/render/options.h"
#include "tools/render/progress.h"
#include "tools/render/render.h"
#include "tools/render/sound_file.h"
#include "tools/session/exit_codes.h"
#include "tools/session/menu_choice.h"
#include "tools/session/platform.h"
#include "tools/session/plugin_identity.h"
#include "tools/session/plugin_session.h"
#include "tools/session/run_tool.h"
#include "tools/session/shipped_files.h"

namespace wt::render {

namespace {

using session::effectNames;
using session::ExitCode;
using session::planMenuPresses;
using session::PluginSession;
using session::ToolError;
namespace platform = session::platform;

// The plugin ID the tool registers and the prefix of its messages.
constexpr const char* kToolName = session::toolName(session::Tool::Render);

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

void listEffects(const std::string& pluginPath, bool verbose, std::FILE* results) {
    const PluginSession session(pluginPath, verbose, kToolName);
    for (const std::string& name : effectNames(session.menu()))
        std::fprintf(results, "%s\n", name.c_str());
}

void renderFile(const Options& options, const std::string& here, const std::string& pluginPath,
                std::FILE* results) {
    const std::string input =
        options.input.empty() ? session::bundledSamplePath(here) : options.input;
    if (sameFile(input, options.output))
        throw ToolError{ExitCode::Usage,
                        "output " + options.output + " is the input file; it would be overwritten"};
    SoundReader reader(input);
    PluginSession session(pluginPath, options.verbose, kToolName);
    for (const int32_t id :
         planMenuPresses(session.menu(), options.effect, options.strength, options.strengthText))
        session.pressMenuItem(id);

    SoundWriter writer(options.output, reader.sampleRate());
    LevelMeter meter;
    const bool long_input = reader.frames() >= kProgressMinSeconds * reader.sampleRate();
    ProgressBar bar(stderr, reader.frames(), long_input && platform::isTerminal(stderr));
    renderStream([&](std::span<int16_t> mono) { return reader.read(mono); },
                 [&](std::span<int16_t> samples) {
                     session.captureVoice(samples.data(), static_cast<int>(samples.size()));
                 },
                 [&](std::span<const int16_t> samples) {
                     writer.write(samples);
                     meter.add(samples);
                 },
                 [&](int64_t done) { bar.update(done); }, {options.frames, options.raw});
    bar.finish();
    writer.close();
    if (options.stats)
        std::fprintf(results, "RMS %.1f dBFS, peak %.1f dBFS, %.3f%% of samples at full scale\n",
                     meter.rmsDbfs(), meter.peakDbfs(), 100.0 * meter.fullScaleShare());
}

int run(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (options.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    std::FILE* results = platform::setAsidePluginConsole(options.verbose);
    const std::string here = platform::executableDirectory();
    const std::string pluginPath =
        options.plugin.empty() ? session::defaultPluginPath(here) : options.plugin;
    if (options.version)
        session::printIdentity(pluginPath, results);
    else if (options.list)
        listEffects(pluginPath, options.verbose, results);
    else
        renderFile(options, here, pluginPath, results);
    std::fflush(results);
    return 0;
}

}  // namespace

}  // namespace wt::render

int main(int argc, char** argv) {
    return wt::session::runTool(wt::render::kToolName, wt::render::run, argc, argv);
}

#include "tools/render/options.h"

#include <vector>

#include "voice/block_size.h"

namespace wt::render {

using session::usageError;

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    std::vector<std::string> files;
    session::OptionReader reader(argc, argv, true);
    while (reader.next()) {
        const std::string& arg = reader.name();
        if (reader.operand()) {
            files.push_back(arg);
            continue;
        }
        if (reader.readCommon(options) || reader.readFlag("--raw", options.raw) ||
            reader.readFlag("--stats", options.stats) ||
            reader.readFlag("--verbose", options.verbose) ||
            reader.readFlag("--list", options.list))
            continue;
        if (arg == "--frames") {
            options.frames = reader.wholeNumberValue(1, kMaxFrames);
        } else {
            usageError("unknown option " + arg);
        }
    }
    if (options.help || options.list || options.version) return options;
    if (files.empty()) usageError("no OUTPUT file given");
    if (files.size() > 2) usageError("too many files: give at most INPUT and OUTPUT");
    options.output = files.back();
    if (files.size() == 2) options.input = files.front();
    return options;
}

std::vector<session::OptionRow> optionTable() {
    using std::to_string;
    const std::string block = to_string(kBlockSize);
    return {
        session::effectOption(),
        session::strengthOption(),
        {"--frames", "N",
         "frames per call into the plugin (default " + to_string(kDefaultFrames) + ": " +
             to_string(kDefaultCallMs) + " ms at " + to_string(session::kClientRate / 1000) +
             " kHz)"},
        {"--raw", "",
         "keep the plugin's one-block delay: the first " + block +
             " samples are silence and the last " + block +
             " input samples stay inside the plugin. By default the tool drops the first " + block +
             " and flushes with " + block +
             " samples of silence, so the output lines up with the input"},
        session::pluginOption(),
        {"--stats", "", "print the output's RMS level, peak and share of samples at full scale"},
        {"--verbose", "", "show the plugin's console lines on standard error"},
        {"--list", "", "list the effect names the plugin's menu offers, then exit"},
        session::versionOption(),
        session::helpOption(),
    };
}

std::string helpText() {
    return R"(Usage: wacky-render [options] [INPUT] OUTPUT
       wacky-render --list | --version | --help

Runs a sound file through the built Wacky Throats plugin, loaded the way the voice-chat
client loads it, and writes what the plugin makes of it. Effect and strength are set
through the plugin's own menu. Without INPUT it renders the bundled sample
samples/voice.wav.

INPUT is any file libsndfile reads (WAV, FLAC, Ogg, AIFF, ...); several channels are
mixed down to one, as a client captures a microphone. OUTPUT is a 16-bit mono WAV file
at the input's sample rate.

)" + session::optionRows(optionTable()) +
           "\n" + session::exitCodeRows(session::Tool::Render);
}

}  // namespace wt::render

#include "tools/render/options.h"

#include <vector>

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

const char* helpText() {
    return R"(Usage: wacky-render [options] [INPUT] OUTPUT
       wacky-render --list | --version | --help

Runs a sound file through the built Wacky Throats plugin, loaded the way the voice-chat
client loads it, and writes what the plugin makes of it. Effect and strength are set
through the plugin's own menu. Without INPUT it renders the bundled sample
samples/voice.wav.

INPUT is any file libsndfile reads (WAV, FLAC, Ogg, AIFF, ...); several channels are
mixed down to one, as a client captures a microphone. OUTPUT is a 16-bit mono WAV file
at the input's sample rate.

Options:
  --effect NAME     an effect from the plugin's menu, case ignored ("Robot",
                    "space voice 2", ...) or "none" (default); --list shows them
  --strength S      0, 0.25 (default), 0.5, 0.75 or 1: the strengths the menu's
                    increase and decrease items reach from the start value 0.25
  --frames N        frames per call into the plugin (default 480: 10 ms at 48 kHz)
  --raw             keep the plugin's one-block delay: the first 1024 samples are
                    silence and the last 1024 input samples stay inside the plugin.
                    By default the tool drops the first 1024 and flushes with 1024
                    samples of silence, so the output lines up with the input
  --plugin PATH     the plugin library (default: the one built beside this tool)
  --stats           print the output's RMS level, peak and share of samples at full
                    scale
  --verbose         show the plugin's console lines on standard error
  --list            list the effect names the plugin's menu offers, then exit
  --version         show the plugin's name and version, as it reports them, then exit
  --help, -h        show this text, then exit

Exit codes:
  0   success
  1   unexpected failure (for example out of memory)
  2   usage: unknown option, bad value, wrong number of files
  3   input missing or unreadable
  4   input format unknown to libsndfile
  5   effect unknown (the message lists the valid names)
  6   strength unreachable through the menu
  7   output not writable
  8   plugin not loadable, or it failed to start (the loader's message is shown)
  9   an entry point missing from the plugin
  10  the plugin's menu lacks a strength item
)";
}

}  // namespace wt::render

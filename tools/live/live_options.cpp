#include "tools/live/live_options.h"

#include "tools/live/live_control.h"
#include "tools/live/saved_options.h"
#include "voice/block_size.h"

namespace wt::live {

using session::usageError;

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    bool saved = false;
    std::set<std::string> given;
    session::OptionReader reader(argc, argv, false);
    while (reader.next()) {
        const std::string& arg = reader.name();
        given.insert(arg);
        if (reader.readCommon(options) || reader.readFlag("--monitor", options.monitor) ||
            reader.readFlag("--list", options.list) || reader.readFlag(kSavedSettingsFlag, saved))
            continue;
        if (arg == "--input") {
            options.input = reader.value();
            if (options.input.empty()) usageError("--input needs a node name");
        } else if (arg == "--quantum") {
            options.quantum = reader.wholeNumberValue(kMinQuantum, kMaxQuantum, " of frames");
        } else {
            usageError("unexpected argument " + arg);
        }
    }
    if (saved) applySavedSettings(options, given);
    return options;
}

double delayMilliseconds(int quantum) {
    return 1000.0 * (kBlockSize + quantum) / kSampleRate;
}

std::vector<session::OptionRow> optionTable() {
    using std::to_string;
    return {
        session::effectOption(),
        session::strengthOption(),
        {"--input", "NODE",
         "node.name of a source, or of a sink whose monitor to capture; default: the default "
         "source"},
        {"--monitor", "", "also play the changed voice to the default output (wear headphones)"},
        savedSettingsOption(),
        {"--quantum", "N",
         "frames per cycle, " + to_string(kMinQuantum) + " to " + to_string(kMaxQuantum) +
             " (default " + to_string(kDefaultQuantum) + "); the added delay is the plugin's " +
             to_string(kBlockSize) + " samples plus one cycle"},
        session::pluginOption(),
        {"--list", "", "print the effects and the inputs there are, then exit"},
        session::versionOption(),
        session::helpOption(),
    };
}

std::string helpText() {
    using std::to_string;
    return R"(Usage: wacky-live [options]
       wacky-live --list | --version | --help

Runs the built plugin live, as the chat client loads it, and publishes what it makes of
your voice as a PipeWire microphone, "Wacky Throats microphone" (node wacky-throats-mic),
which any application can pick. )" +
           to_string(kSampleRate) + R"( Hz, mono, 16-bit, sample for sample what the
plugin returned.

)" + session::optionRows(optionTable()) +
           R"(
Live control, on a terminal: keys 1 to )" +
           to_string(kEffectKeys) + R"( pick the menu's effects in menu order, + and -
press the strength items, q quits. Otherwise one command a line on standard input: a menu
text (case ignored) or none, +, -, q; the end of the input changes nothing.
q, SIGINT and SIGTERM end it cleanly, with exit code 0.

)" + session::exitCodeRows(session::Tool::Live);
}

}  // namespace wt::live

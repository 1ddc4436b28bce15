#include "tools/live/live_options.h"

#include "tools/live/live_control.h"
#include "voice/block_size.h"

namespace wt::live {

using session::usageError;

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    session::OptionReader reader(argc, argv, false);
    while (reader.next()) {
        const std::string& arg = reader.name();
        if (reader.readCommon(options) || reader.readFlag("--monitor", options.monitor) ||
            reader.readFlag("--list", options.list))
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
    return options;
}

double delayMilliseconds(int quantum) {
    return 1000.0 * (kBlockSize + quantum) / kSampleRate;
}

std::string helpText() {
    using std::to_string;
    // The numbers come from the constants the tool runs with.
    return R"(Usage: wacky-live [options]
       wacky-live --list | --version | --help

Runs the built plugin live, as the chat client loads it, and publishes what it makes of
your voice as a PipeWire microphone, "Wacky Throats microphone" (node wacky-throats-mic),
which any application can pick. )" +
           to_string(kSampleRate) + R"( Hz, mono, 16-bit, sample for sample what the
plugin returned.

Options:
  --effect NAME     a text of the plugin's menu (case ignored) or "none" (default)
  --strength S      0, 0.25 (default), 0.5, 0.75 or 1
  --input NODE      node.name of a source, or of a sink whose monitor to capture;
                    default: the default source
  --monitor         also play the changed voice to the default output (wear headphones)
  --quantum N       frames per cycle, )" +
           to_string(kMinQuantum) + " to " + to_string(kMaxQuantum) + " (default " +
           to_string(kDefaultQuantum) + R"(); the added delay is the
                    plugin's )" +
           to_string(kBlockSize) + R"( samples plus one cycle
  --plugin PATH     the plugin library (default: wacky_throats.so beside the tool)
  --list            print the effects and the inputs there are, then exit
  --version         print the plugin's name and version, then exit
  --help            print this text, then exit

Live control, on a terminal: keys 1 to )" +
           to_string(kEffectKeys) + R"( pick the menu's effects in menu order, + and -
press the strength items, q quits. Otherwise one command a line on standard input: a menu
text (case ignored) or none, +, -, q; the end of the input changes nothing.
SIGINT and SIGTERM end it cleanly too.

Exit codes:
  0   ended by q, SIGINT or SIGTERM    6   strength unreachable through the menu
  1   unexpected failure               8   plugin not loadable
  2   usage error                      9   plugin lacks an entry point
  5   unknown effect                   10  the plugin's menu lacks a strength item
  11  no PipeWire server reachable     12  the --input node does not exist
)";
}

}  // namespace wt::live

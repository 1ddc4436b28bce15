#include "tools/live/live_options.h"

#include <cerrno>
#include <cstdlib>

#include "tools/session/exit_codes.h"
#include "voice/block_size.h"

namespace wt::live {

namespace {

using session::ExitCode;
using session::ToolError;

[[noreturn]] void usage(const std::string& reason) {
    throw ToolError{ExitCode::Usage, reason + " (see --help)"};
}

int parseQuantum(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < kMinQuantum || value > kMaxQuantum)
        usage("--quantum takes a whole number of frames from " + std::to_string(kMinQuantum) +
              " to " + std::to_string(kMaxQuantum) + ", not \"" + text + "\"");
    return static_cast<int>(value);
}

// Any number parses; whether the menu can reach it is decided once the plugin is loaded.
double parseStrength(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') usage("--strength takes a number, not \"" + text + "\"");
    return value;
}

}  // namespace

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        // "--name=value" and "--name value" both work for options that take a value.
        std::string value;
        bool inlineValue = false;
        if (const size_t equals = arg.find('='); equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            inlineValue = true;
        }
        const auto takeValue = [&]() -> std::string {
            if (inlineValue) return value;
            if (i + 1 >= argc) usage(arg + " needs a value");
            return argv[++i];
        };
        const auto noValue = [&] {
            if (inlineValue) usage(arg + " takes no value");
        };
        if (arg == "--effect") {
            options.effect = takeValue();
        } else if (arg == "--strength") {
            options.strengthText = takeValue();
            options.strength = parseStrength(options.strengthText);
        } else if (arg == "--plugin") {
            options.plugin = takeValue();
        } else if (arg == "--input") {
            options.input = takeValue();
            if (options.input.empty()) usage("--input needs a node name");
        } else if (arg == "--quantum") {
            options.quantum = parseQuantum(takeValue());
        } else if (arg == "--monitor") {
            noValue();
            options.monitor = true;
        } else if (arg == "--list") {
            noValue();
            options.list = true;
        } else if (arg == "--version") {
            noValue();
            options.version = true;
        } else if (arg == "--help" || arg == "-h") {
            noValue();
            options.help = true;
        } else {
            usage("unexpected argument " + arg);
        }
    }
    return options;
}

double delayMilliseconds(int quantum) {
    return 1000.0 * (kBlockSize + quantum) / kSampleRate;
}

const char* helpText() {
    return R"(Usage: wacky-live [options]
       wacky-live --list | --version | --help

Runs the built plugin live, as the chat client loads it, and publishes what it makes of
your voice as a PipeWire microphone, "Wacky Throats microphone" (node wacky-throats-mic),
which any application can pick. 48000 Hz, mono, 16-bit, sample for sample what the
plugin returned.

Options:
  --effect NAME     a text of the plugin's menu (case ignored) or "none" (default)
  --strength S      0, 0.25 (default), 0.5, 0.75 or 1
  --input NODE      node.name of a source, or of a sink whose monitor to capture;
                    default: the default source
  --monitor         also play the changed voice to the default output (wear headphones)
  --quantum N       frames per cycle, 16 to 8192 (default 256); the added delay is the
                    plugin's 1024 samples plus one cycle
  --plugin PATH     the plugin library (default: wacky_throats.so beside the tool)
  --list            print the effects and the inputs there are, then exit
  --version         print the plugin's name and version, then exit
  --help            print this text, then exit

Live control, on a terminal: keys 1 to 8 pick the menu's effects in menu order, + and -
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

#pragma once

#include <string>
#include <vector>

#include "tools/session/client_rate.h"
#include "tools/session/help_text.h"
#include "tools/session/option_reader.h"

// The command line of wacky-live.
namespace wt::live {

inline constexpr int kSampleRate = session::kClientRate;  // the plugin runs at the client's rate
inline constexpr int kDefaultQuantum = 256;
inline constexpr int kMinQuantum = 16;
inline constexpr int kMaxQuantum = 8192;  // PipeWire's own limit for a cycle

struct Options : session::CommonOptions {
    std::string input;  // node.name of a source, or of a sink whose monitor is captured;
                        // empty: the default source
    bool monitor = false;
    int quantum = kDefaultQuantum;  // frames per cycle
    bool list = false;
    // Taken from the app's saved settings rather than the command line: a saved effect
    // the plugin lacks, or a saved input not there now, is no reason to refuse to start
    // (a service would be restarted over and over); the tool says so and goes on.
    bool savedEffect = false;
    bool savedInput = false;
};

// Throws session::ToolError (ExitCode::Usage) with a one-line reason.
Options parseOptions(int argc, const char* const* argv);

// Every option parseOptions() reads, in the order --help lists them.
std::vector<session::OptionRow> optionTable();

// The --help text: optionTable(), the keys, the commands and the exit codes included.
std::string helpText();

// Added latency in milliseconds: the plugin's one block plus one cycle.
double delayMilliseconds(int quantum);

}  // namespace wt::live

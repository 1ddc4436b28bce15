#pragma once

#include <string>

#include "tools/session/option_reader.h"

// The command line of wacky-live.
namespace wt::live {

inline constexpr int kSampleRate = 48000;  // the client's capture rate; the plugin runs at it
inline constexpr int kDefaultQuantum = 256;
inline constexpr int kMinQuantum = 16;
inline constexpr int kMaxQuantum = 8192;  // PipeWire's own limit for a cycle

struct Options : session::CommonOptions {
    std::string input;  // node.name of a source, or of a sink whose monitor is captured;
                        // empty: the default source
    bool monitor = false;
    int quantum = kDefaultQuantum;  // frames per cycle
    bool list = false;
};

// Throws session::ToolError (ExitCode::Usage) with a one-line reason.
Options parseOptions(int argc, const char* const* argv);

// The --help text, keys, commands and exit codes included.
std::string helpText();

// Added latency in milliseconds: the plugin's one block plus one cycle.
double delayMilliseconds(int quantum);

}  // namespace wt::live

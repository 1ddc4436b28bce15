#pragma once

#include <string>
#include <vector>

#include "tools/session/client_rate.h"
#include "tools/session/help_text.h"
#include "tools/session/option_reader.h"

// The command line of wacky-render.
namespace wt::render {

inline constexpr int kDefaultCallMs = 10;  // a client's usual call
inline constexpr int kDefaultFrames = session::kClientRate * kDefaultCallMs / 1000;
inline constexpr int kMaxFrames = 1 << 20;  // per call; far beyond any client's buffer
using session::kNoEffect;

struct Options : session::CommonOptions {
    std::string input;   // empty: the bundled sample
    std::string output;  // required unless --list, --version or --help
    int frames = kDefaultFrames;
    bool raw = false;
    bool stats = false;
    bool verbose = false;
    bool list = false;
};

// Throws session::ToolError (ExitCode::Usage) with a one-line reason.
Options parseOptions(int argc, const char* const* argv);

// Every option parseOptions() reads, in the order --help lists them.
std::vector<session::OptionRow> optionTable();

// The --help text: optionTable() and the exit codes included.
std::string helpText();

}  // namespace wt::render

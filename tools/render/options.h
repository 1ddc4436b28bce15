#pragma once

#include <string>

#include "tools/session/option_reader.h"

// The command line of wacky-render.
namespace wt::render {

inline constexpr int kDefaultFrames = 480;  // 10 ms at 48 kHz, a client's usual call
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

// Throws RenderError (ExitCode::Usage) with a one-line reason.
Options parseOptions(int argc, const char* const* argv);

// The --help text, exit codes included.
const char* helpText();

}  // namespace wt::render

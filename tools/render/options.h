#pragma once

#include <string>

#include "tools/session/menu_choice.h"

// The command line of wacky-render.
namespace wt::render {

inline constexpr int kDefaultFrames = 480;  // 10 ms at 48 kHz, a client's usual call
inline constexpr int kMaxFrames = 1 << 20;  // per call; far beyond any client's buffer
using session::kNoEffect;

struct Options {
    std::string input;   // empty: the bundled sample
    std::string output;  // required unless --list, --version or --help
    std::string effect = kNoEffect;
    std::string strengthText = "0.25";  // as typed, for messages
    double strength = 0.25;
    int frames = kDefaultFrames;
    bool raw = false;
    bool stats = false;
    bool verbose = false;
    bool list = false;
    bool version = false;
    bool help = false;
    std::string plugin;  // empty: the library beside the tool
};

// Throws RenderError (ExitCode::Usage) with a one-line reason.
Options parseOptions(int argc, const char* const* argv);

// The --help text, exit codes included.
const char* helpText();

}  // namespace wt::render

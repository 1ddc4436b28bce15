#pragma once

#include <string>

// Every way wacky-render can end. Each failure has its own code so scripts can tell them
// apart; --help and the README list the same table.
namespace wt::render {

enum class ExitCode : int {
    Ok = 0,
    Unexpected = 1,           // out of memory or another failure with no code of its own
    Usage = 2,                // unknown option, bad value, wrong number of files
    InputUnreadable = 3,      // input missing or not readable
    InputFormat = 4,          // input is not a sound file libsndfile can read
    UnknownEffect = 5,        // --effect names no item of the plugin's menu
    UnreachableStrength = 6,  // --strength cannot be reached with the strength items
    OutputUnwritable = 7,     // output cannot be created or written
    PluginNotLoadable = 8,    // the loader refused the plugin, or it failed to start
    EntryPointMissing = 9,    // the plugin lacks an entry point the tool calls
    MenuIncomplete = 10,      // the plugin's menu lacks a strength item the tool needs
};

// A failure on its way to main(): the message is printed after "wacky-render: ".
struct RenderError {
    ExitCode code;
    std::string message;
};

}  // namespace wt::render

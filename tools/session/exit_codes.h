#pragma once

#include <string>

// Every way the tools that drive the plugin (wacky-render, wacky-live) can end. Each
// failure has its own code so scripts can tell them apart; each tool's --help and the
// README list the same table.
namespace wt::session {

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
    NoAudioServer = 11,       // wacky-live: no PipeWire server reachable
    InputMissing = 12,        // wacky-live: the --input node does not exist
};

// A failure on its way to main(): the message is printed after the tool's name and ": ".
struct ToolError {
    ExitCode code;
    std::string message;
};

}  // namespace wt::session

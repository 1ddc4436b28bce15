#pragma once

#include <cstddef>
#include <string>

// Every way the tools that drive the plugin (wacky-render, wacky-live) can end. Each
// failure has its own code so scripts can tell them apart. kExitCodes is the one table of
// them: each tool's --help prints its rows (help_text.h), the manual pages are made from
// it, and a test holds the README's table to it.
namespace wt::session {

enum class ExitCode : int {
    Ok = 0,
    Unexpected = 1,
    Usage = 2,
    InputUnreadable = 3,
    InputFormat = 4,
    UnknownEffect = 5,
    UnreachableStrength = 6,
    OutputUnwritable = 7,
    PluginNotLoadable = 8,
    EntryPointMissing = 9,
    MenuIncomplete = 10,
    NoAudioServer = 11,
    InputMissing = 12,
};

// The tools that end with these codes, and their names (the plugin ID each registers).
enum class Tool : unsigned { Render, Live };

inline constexpr const char* kToolNames[] = {"wacky-render", "wacky-live"};  // by Tool

inline constexpr const char* toolName(Tool tool) {
    return kToolNames[static_cast<unsigned>(tool)];
}

inline constexpr unsigned toolBit(Tool tool) {
    return 1u << static_cast<unsigned>(tool);
}

struct ExitCodeRow {
    ExitCode code;
    const char* meaning;  // one line, lower case, no full stop
    unsigned tools;       // toolBit() of each tool that can end with it
};

inline constexpr unsigned kRenderBit = toolBit(Tool::Render);
inline constexpr unsigned kLiveBit = toolBit(Tool::Live);

inline constexpr ExitCodeRow kExitCodes[] = {
    {ExitCode::Ok, "success", kRenderBit | kLiveBit},
    {ExitCode::Unexpected, "unexpected failure (for example out of memory)", kRenderBit | kLiveBit},
    {ExitCode::Usage, "usage: unknown option, bad value, wrong number of files",
     kRenderBit | kLiveBit},
    {ExitCode::InputUnreadable, "input missing or unreadable", kRenderBit},
    {ExitCode::InputFormat, "input format unknown to libsndfile", kRenderBit},
    {ExitCode::UnknownEffect, "effect unknown (the message lists the valid names)",
     kRenderBit | kLiveBit},
    {ExitCode::UnreachableStrength, "strength unreachable through the menu", kRenderBit | kLiveBit},
    {ExitCode::OutputUnwritable, "output not writable", kRenderBit},
    {ExitCode::PluginNotLoadable,
     "plugin not loadable, or it failed to start (the loader's message is shown)",
     kRenderBit | kLiveBit},
    {ExitCode::EntryPointMissing, "an entry point missing from the plugin", kRenderBit | kLiveBit},
    {ExitCode::MenuIncomplete, "the plugin's menu lacks a strength item", kRenderBit | kLiveBit},
    {ExitCode::NoAudioServer, "no PipeWire: no server reachable, or PipeWire not installed",
     kLiveBit},
    {ExitCode::InputMissing, "the --input node does not exist", kLiveBit},
};

// The table is the enum in order, so a code is its own index.
consteval bool exitCodesInOrder() {
    for (size_t i = 0; i < std::size(kExitCodes); ++i)
        if (static_cast<size_t>(kExitCodes[i].code) != i) return false;
    return true;
}

static_assert(exitCodesInOrder() &&
              std::size(kExitCodes) == static_cast<size_t>(ExitCode::InputMissing) + 1);

// A failure on its way to main(): the message is printed after the tool's name and ": ".
struct ToolError {
    ExitCode code;
    std::string message;
};

}  // namespace wt::session

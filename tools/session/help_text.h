#pragma once

#include <span>
#include <string>

#include "tools/session/exit_codes.h"

// The tables each tool's --help prints its option and exit-code rows from; the manual
// pages are generated from the same tables, so a row is written once, here or in the
// tool's own option table.
namespace wt::session {

// One option of a command line.
struct OptionRow {
    std::string flag;         // "--effect"; an alias after ", " ("--help, -h")
    std::string argument;     // the value's name ("NAME"); empty for an option with none
    std::string description;  // one sentence without its full stop; --help wraps it
};

// The options OptionReader::readCommon() reads, which mean the same in every tool.
OptionRow effectOption();
OptionRow strengthOption();
OptionRow pluginOption();
OptionRow versionOption();
OptionRow helpOption();

// "Options:" and a row per option: the flag and its argument in a column, the description
// beside it, wrapped to lines of at most kHelpWidth characters.
std::string optionRows(std::span<const OptionRow> rows);

// "Exit codes:" and a row per code of kExitCodes that `tool` can end with.
std::string exitCodeRows(Tool tool);

inline constexpr size_t kHelpWidth = 88;

}  // namespace wt::session

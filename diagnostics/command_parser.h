#pragma once

// Splitting the text after the "test" keyword into a subcommand and its two parameters.

#include <cstddef>

#include "diagnostics/subcommands.h"

namespace wt::diagnostics {

// The working copy holds at most kCommandSize - 1 bytes of the command text; a longer text
// is cut before it is split, at the last character boundary within them (fittingLength).
inline constexpr size_t kCommandSize = 128;

// One parsed command. `first` and `second` point into `copy` (or are null when the line
// has no such token), so a ParsedCommand is used where it was parsed and never copied.
struct ParsedCommand {
    char copy[kCommandSize];
    const Subcommand* subcommand;  // the row of kSubcommands token 1 names, or null
    const char* first;             // token 2
    const char* second;            // the last token of the line from token 3 on

    ParsedCommand() = default;
    ParsedCommand(const ParsedCommand&) = delete;
    ParsedCommand& operator=(const ParsedCommand&) = delete;
};

// Tokens are separated by runs of blanks (the space character only; a tab is part of a
// token), and no token is empty. Token 1 names the subcommand, matched exactly and
// case-sensitively against kSubcommands; anything else leaves `subcommand` null. The
// client's text is never written. text: terminated, or null (read as the empty text).
void parseCommand(const char* text, ParsedCommand& parsed);

}  // namespace wt::diagnostics

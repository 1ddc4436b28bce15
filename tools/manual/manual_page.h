#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/session/exit_codes.h"
#include "tools/session/help_text.h"

// A manual page (roff, man(7) macros, section 1) made from what a program prints for
// --help: its usage lines become the synopsis, its prose the description, and its option
// table and exit-code table the two lists, so the page never says other than --help.
namespace wt::manual {

struct ManualSource {
    std::string name;     // the program, "wacky-render"
    std::string summary;  // the NAME line's text after the dash
    // --help's text: paragraphs apart by blank lines; "Usage:" heads the synopsis, and
    // the "Options:" and "Exit codes:" paragraphs are left to the two tables below.
    std::string helpText;
    std::vector<session::OptionRow> options;
    std::optional<session::Tool> exitCodesOf;                // its rows of kExitCodes
    std::vector<std::pair<std::string, std::string>> files;  // path, what it is
    std::vector<std::string> seeAlso;                        // pages of section 1
};

// The whole page; `version` goes into its header.
std::string manualPage(const ManualSource& source, const std::string& version);

// `text` safe on a roff text line: backslashes and hyphens escaped, a leading '.' or '\''
// kept from being read as a request.
std::string roffText(const std::string& text);

}  // namespace wt::manual

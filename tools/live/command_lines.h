#pragma once

#include <cstddef>
#include <string>

// Standard input as command lines, whatever arrives: a line longer than any command is
// not kept whole (only its start, to name it), and what is echoed back of a bad line is
// short and shows control and non-ASCII bytes escaped, never raw to the terminal.
namespace wt::live {

// The longest line kept; a command is a menu text or one character.
inline constexpr size_t kLongestCommand = 64;

class CommandLines {
  public:
    // Takes one byte; true when it ends a line, which line() then holds.
    bool take(char byte);

    // The line ended last, cut to kLongestCommand bytes, and whether it was cut.
    const std::string& line() const { return line_; }

    bool cut() const { return cut_; }

    // The unfinished line at the end of the input, as take('\n') would end it; false if
    // there is none.
    bool finish();

  private:
    std::string pending_;
    std::string line_;
    bool pendingCut_ = false;
    bool cut_ = false;
};

// `text` as it may be shown on a terminal: bytes from 0x20 to 0x7e as they are, others
// as \xNN, a quote and a backslash escaped; "..." after it when `cut`.
std::string printable(const std::string& text, bool cut);

}  // namespace wt::live

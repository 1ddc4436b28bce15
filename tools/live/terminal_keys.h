#pragma once

#include <termios.h>

// Standard input as single keys without echo, for as long as the object lives; the
// terminal's own mode comes back at the end, whatever ends the tool.
namespace wt::live {

class TerminalKeys {
  public:
    TerminalKeys();  // does nothing when standard input is no terminal
    ~TerminalKeys();
    TerminalKeys(const TerminalKeys&) = delete;
    TerminalKeys& operator=(const TerminalKeys&) = delete;

    bool active() const { return active_; }

  private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace wt::live

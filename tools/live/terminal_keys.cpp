#include "tools/live/terminal_keys.h"

#include <unistd.h>

namespace wt::live {

TerminalKeys::TerminalKeys() {
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios keys = saved_;
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &keys) == 0;
}

TerminalKeys::~TerminalKeys() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}

}  // namespace wt::live

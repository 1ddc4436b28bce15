#include "tools/live/command_lines.h"

#include <cstdio>

namespace wt::live {

bool CommandLines::take(char byte) {
    if (byte == '\n') {
        line_.swap(pending_);
        cut_ = pendingCut_;
        pending_.clear();
        pendingCut_ = false;
        return true;
    }
    if (pending_.size() < kLongestCommand)
        pending_ += byte;
    else
        pendingCut_ = true;
    return false;
}

bool CommandLines::finish() {
    if (pending_.empty() && !pendingCut_) return false;
    return take('\n');
}

std::string printable(const std::string& text, bool cut) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += c;
        } else if (byte >= 0x20 && byte < 0x7f) {
            shown += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    return cut ? shown + "..." : shown;
}

}  // namespace wt::live

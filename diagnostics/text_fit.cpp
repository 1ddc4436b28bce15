#include "diagnostics/text_fit.h"

#include <cstring>

namespace wt::diagnostics {

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

}  // namespace

int fittingLength(const char* text, size_t room) {
    size_t length = strnlen(text, room + 1);
    if (length > room) {
        // text[room] is the first byte left out; if it continues a character, that
        // character started inside the prefix and goes as a whole.
        length = room;
        while (length > 0 && isContinuationByte(text[length])) --length;
    }
    return static_cast<int>(length);
}

}  // namespace wt::diagnostics

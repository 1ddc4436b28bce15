#include "plugin/text_fit.h"

#include <cstring>

namespace wt {

namespace {

bool isContinuationByte(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

// The length of the well-formed sequence that `lead` starts; 0 for a byte that starts
// none (a continuation byte, C0, C1, F5 to FF).
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80u) return 1;
    if (lead < 0xC2u) return 0;
    if (lead < 0xE0u) return 2;
    if (lead < 0xF0u) return 3;
    if (lead < 0xF5u) return 4;
    return 0;
}

// Whether `byte` may come second after `lead`. E0 and F0 rule out overlong forms, ED the
// surrogates, F4 everything beyond U+10FFFF.
bool mayFollowLead(unsigned char lead, unsigned char byte) {
    switch (lead) {
        case 0xE0u:
            return byte >= 0xA0u && byte <= 0xBFu;
        case 0xEDu:
            return byte >= 0x80u && byte <= 0x9Fu;
        case 0xF0u:
            return byte >= 0x90u && byte <= 0xBFu;
        case 0xF4u:
            return byte >= 0x80u && byte <= 0x8Fu;
        default:
            return isContinuationByte(byte);
    }
}

// Whether the `count` bytes from `start` (a lead byte, count at least 2) begin a
// well-formed sequence.
bool beginsSequence(const unsigned char* start, size_t count) {
    if (!mayFollowLead(start[0], start[1])) return false;
    for (size_t i = 2; i < count; ++i) {
        if (!isContinuationByte(start[i])) return false;
    }
    return true;
}

}  // namespace

int fittingLength(const char* text, size_t room) {
    const size_t length = strnlen(text, room + 1);
    if (length <= room) return static_cast<int>(length);
    // bytes[room] is the first byte left out. The character it belongs to started at most
    // three bytes before it; if that character is well-formed as far as bytes[room], it
    // goes as a whole. Bytes that form no character are cut as bytes: a stray
    // continuation byte or a broken sequence never moves the cut.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t back = 1; back <= 3 && back <= room; ++back) {
        const size_t start = room - back;
        if (isContinuationByte(bytes[start])) continue;
        if (sequenceLength(bytes[start]) > back && beginsSequence(bytes + start, back + 1)) {
            return static_cast<int>(start);
        }
        break;
    }
    return static_cast<int>(room);
}

}  // namespace wt

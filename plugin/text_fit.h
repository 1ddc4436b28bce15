#pragma once

// Helpers for texts that come from the client and go out again on the console or to the
// client, so that a null text or an overlong one never breaks a line.

#include <cstddef>
#include <cstdint>

namespace wt {

// A text argument the client may leave null, as printed: null reads as the empty text.
inline const char* printable(const char* text) {
    return text != nullptr ? text : "";
}

// A handler or channel ID as the "%llu" conversion takes it.
inline unsigned long long asUnsignedLongLong(uint64_t id) {
    return static_cast<unsigned long long>(id);
}

// Length in bytes of the longest prefix of `text` that takes at most `room` bytes and
// does not split a well-formed UTF-8 character; the whole length when the text fits.
// Bytes that are not UTF-8 are cut as bytes. Meant as the precision of a "%.*s"
// conversion, so a fixed format around the text stays whole, and as the length of a
// bounded copy.
//   text: terminated, or at least `room` + 1 bytes long. room: at most INT_MAX.
int fittingLength(const char* text, size_t room);

// Ends a text that the client wrote into `buffer` (`size` bytes, size >= 1) and may have
// left without a terminator: at its own terminator if it has one within the buffer, else
// at the last character boundary that leaves room for the terminator.
inline void endWithinBuffer(char* buffer, size_t size) {
    buffer[fittingLength(buffer, size - 1)] = '\0';
}

}  // namespace wt

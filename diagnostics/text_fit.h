#pragma once

// Helpers for texts that come from the client and go out again on the console or to the
// client, so that a null text or an overlong one never breaks a line.

#include <cstddef>
#include <cstdint>

namespace wt::diagnostics {

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

}  // namespace wt::diagnostics

// UTF-16 to UTF-8 without the platform: two passes over the source, as the system
// converters work: measure the whole result, terminator included, then encode into a
// block of exactly that size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugin/name_converter.h"

namespace {

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;  // one past the last low surrogate

// Decodes the code point at text[i] and advances i past it. Returns false for a surrogate
// that is not part of a pair.
bool nextCodePoint(const char16_t* text, size_t& i, char32_t& codePoint) {
    const char32_t unit = text[i++];
    if (unit < kHighSurrogateFirst || unit >= kSurrogateEnd) {
        codePoint = unit;
        return true;
    }
    if (unit >= kLowSurrogateFirst) return false;  // low surrogate first
    const char32_t low = text[i];
    if (low < kLowSurrogateFirst || low >= kSurrogateEnd) return false;  // NUL included
    ++i;
    codePoint = 0x10000 + ((unit - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
    return true;
}

size_t encodedLength(char32_t codePoint) {
    if (codePoint < 0x80) return 1;
    if (codePoint < 0x800) return 2;
    if (codePoint < 0x10000) return 3;
    return 4;
}

char* encode(char32_t codePoint, char* out) {
    const size_t length = encodedLength(codePoint);
    if (length == 1) {
        *out++ = static_cast<char>(codePoint);
        return out;
    }
    // Lead byte: as many high one bits as the sequence has bytes, then payload bits.
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t k = length - 1; k > 0; --k) {
        out[k] = static_cast<char>(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    out[0] = static_cast<char>(kLead[length] | codePoint);
    return out + length;
}

}  // namespace

namespace wt {

int utf16ToUtf8(const char16_t* text, char** utf8) {
    if (utf8 == nullptr) return -1;
    *utf8 = nullptr;
    if (text == nullptr) return -1;

    size_t size = 1;  // the terminator
    char32_t codePoint = 0;
    for (size_t i = 0; text[i] != 0;) {
        if (!nextCodePoint(text, i, codePoint)) return -1;
        size += encodedLength(codePoint);
    }

    char* result = static_cast<char*>(std::malloc(size));
    if (result == nullptr) return -1;
    char* out = result;
    for (size_t i = 0; text[i] != 0;) {
        nextCodePoint(text, i, codePoint);
        out = encode(codePoint, out);
    }
    *out = '\0';
    *utf8 = result;
    return 0;
}

}  // namespace wt

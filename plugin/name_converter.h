#pragma once

// The platform's UTF-16 to UTF-8 conversion, chosen at build time: a small converter of our
// own on Linux (name_converter_generic.cpp), the system's on Windows.

namespace wt {

// Converts the NUL-terminated UTF-16 `text` to UTF-8.
// Success: returns 0 and stores in *utf8 a malloc-ed, NUL-terminated string the caller
//   owns (released with free).
// Failure (text or utf8 null, no memory, the system converter failing): returns -1 and
//   stores nothing but a null pointer (when utf8 is not null).
// An unpaired surrogate fails our own converter; the Windows converter, called without
// flags as the system's default, writes U+FFFD in its place instead.
int utf16ToUtf8(const char16_t* text, char** utf8);

// A converter with the contract of utf16ToUtf8, so that a caller can be handed another.
using Utf16ToUtf8 = int (*)(const char16_t* text, char** utf8);

}  // namespace wt

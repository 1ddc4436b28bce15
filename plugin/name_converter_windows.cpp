// UTF-16 to UTF-8 through the system: WideCharToMultiByte, asked first for the size of
// the whole result (terminator included, source length -1), then into a block of exactly
// that size. Without flags, as the system does it by default: an unpaired surrogate
// becomes U+FFFD instead of failing the conversion.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

#include "plugin/name_converter.h"

namespace wt {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

int utf16ToUtf8(const char16_t* text, char** utf8) {
    if (utf8 == nullptr) return -1;
    *utf8 = nullptr;
    if (text == nullptr) return -1;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);

    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return -1;
    char* result = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (result == nullptr) return -1;
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, result, size, nullptr, nullptr) == 0) {
        std::free(result);
        return -1;
    }
    *utf8 = result;
    return 0;
}

}  // namespace wt

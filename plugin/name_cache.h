#pragma once

#include <atomic>

#include "plugin/name_converter.h"

namespace wt {

// Returns the UTF-8 form of `wide`, converting it with `convert` only while `cache` is
// null; the result stays in `cache` for good. If the conversion fails, `fallback` is
// cached instead and the conversion is never tried again.
// The converted string lives until the library is unloaded (see releaseCachedUtf8).
// Safe when several threads fill the cache at once: one result wins, every caller gets
// it, and a losing copy is released. Lock-free.
const char* cachedUtf8(std::atomic<const char*>& cache, const char16_t* wide,
                       const char* fallback, Utf16ToUtf8 convert);

// Empties `cache` and releases the string cachedUtf8() put there, unless it is `fallback`.
// For library unload only: no caller of cachedUtf8() may still hold the string.
void releaseCachedUtf8(std::atomic<const char*>& cache, const char* fallback);

}  // namespace wt

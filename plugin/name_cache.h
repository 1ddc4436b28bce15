#pragma once

#include <atomic>

#include "plugin/name_converter.h"

namespace wt {

// Returns the UTF-8 form of `wide`, converting it with `convert` only while `cache` is
// null; the result stays in `cache` for good. If the conversion fails, `fallback` is
// cached instead and the conversion is never tried again.
// The converted string lives until releaseCachedUtf8() empties the cache.
// Safe when several threads fill the cache at once: one result wins, every caller gets
// it, and a losing copy is released. Lock-free.
const char* cachedUtf8(std::atomic<const char*>& cache, const char16_t* wide, const char* fallback,
                       Utf16ToUtf8 convert);

// Releases the string cachedUtf8() put in `cache`, unless it is `fallback`, and leaves
// `fallback` in its place: a caller that still comes after this gets the fallback, never
// the released string, and nothing is converted (or allocated) a second time.
// For library unload only: no one may still read the released string.
void releaseCachedUtf8(std::atomic<const char*>& cache, const char* fallback);

}  // namespace wt

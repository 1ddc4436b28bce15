#include "plugin/name_cache.h"

#include <cstdlib>

namespace wt {

const char* cachedUtf8(std::atomic<const char*>& cache, const char16_t* wide, const char* fallback,
                       Utf16ToUtf8 convert) {
    const char* cached = cache.load(std::memory_order_acquire);
    if (cached != nullptr) return cached;

    char* converted = nullptr;
    const char* fresh =
        convert(wide, &converted) == 0 && converted != nullptr ? converted : fallback;
    // Only the first filler's result is ever published, so every caller of one load sees
    // the same pointer.
    if (cache.compare_exchange_strong(cached, fresh, std::memory_order_acq_rel,
                                      std::memory_order_acquire)) {
        return fresh;
    }
    if (fresh == converted) std::free(converted);
    return cached;
}

void releaseCachedUtf8(std::atomic<const char*>& cache, const char* fallback) {
    const char* cached = cache.exchange(fallback, std::memory_order_acq_rel);
    if (cached != fallback) std::free(const_cast<char*>(cached));
}

}  // namespace wt

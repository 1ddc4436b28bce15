// Filling the name cache: once per load, with the narrow literal when conversion fails,
// and one winner when two threads fill it at once; emptying it when the library unloads.

#include "plugin/name_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/support/allocation_probe.h"

namespace {

constexpr char16_t kWide[] = u"Name";
constexpr char kNarrow[] = "Name";

std::atomic<int> conversions{0};

int failingConverter(const char16_t*, char** utf8) {
    ++conversions;
    *utf8 = nullptr;
    return -1;
}

int succeedingConverter(const char16_t*, char** utf8) {
    ++conversions;
    *utf8 = static_cast<char*>(std::malloc(sizeof kNarrow));
    std::memcpy(*utf8, kNarrow, sizeof kNarrow);
    return 0;
}

// Converts only once both threads are inside, so both really race to fill the cache.
std::atomic<int> inside{0};
std::atomic<char*> made[2];

int racingConverter(const char16_t* wide, char** utf8) {
    const int caller = inside++;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (inside.load() < 2 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();
    }
    const int result = succeedingConverter(wide, utf8);
    made[caller] = *utf8;
    return result;
}

class NameCache : public ::testing::Test {
  protected:
    void SetUp() override {
        conversions = 0;
        inside = 0;
    }
};

TEST_F(NameCache, AFailedConversionCachesTheNarrowLiteralAndIsNotRetried) {
    std::atomic<const char*> cache{nullptr};
    const char* first = wt::cachedUtf8(cache, kWide, kNarrow, failingConverter);
    EXPECT_EQ(first, kNarrow);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(wt::cachedUtf8(cache, kWide, kNarrow, failingConverter), first);
    }
    // Later calls may find a working converter; the fallback stays.
    EXPECT_EQ(wt::cachedUtf8(cache, kWide, kNarrow, succeedingConverter), first);
    EXPECT_EQ(conversions.load(), 1);
}

TEST_F(NameCache, ASuccessfulConversionIsMadeOnceAndKept) {
    std::atomic<const char*> cache{nullptr};
    const char* first = wt::cachedUtf8(cache, kWide, kNarrow, succeedingConverter);
    EXPECT_NE(first, kNarrow);
    EXPECT_STREQ(first, "Name");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(wt::cachedUtf8(cache, kWide, kNarrow, succeedingConverter), first);
    }
    EXPECT_EQ(conversions.load(), 1);
    std::free(const_cast<char*>(first));
}

TEST_F(NameCache, TwoFirstCallersAtOnceGetOneStringAndTheOtherCopyIsReleased) {
    std::atomic<const char*> cache{nullptr};
    const char* seen[2] = {};
    {
        wt::test::AllocationProbe allocations;
        std::thread other(
            [&] { seen[1] = wt::cachedUtf8(cache, kWide, kNarrow, racingConverter); });
        seen[0] = wt::cachedUtf8(cache, kWide, kNarrow, racingConverter);
        other.join();
        if (wt::test::AllocationProbe::active()) {  // the loser's copy is gone
            EXPECT_NE(allocations.isLive(made[0]), allocations.isLive(made[1]));
        }
    }
    EXPECT_EQ(conversions.load(), 2);  // both converted: the race really happened
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(cache.load(), seen[0]);
    EXPECT_STREQ(seen[0], "Name");
    std::free(const_cast<char*>(seen[0]));
}

// The library releases its name when it is unloaded; a client that unloads and reloads the
// plugin would otherwise lose a copy each time. Whoever asks after that gets the literal:
// never the released copy, and no second conversion that nothing would release.
TEST_F(NameCache, UnloadReleasesTheConvertedNameButNeverTheFallback) {
    std::atomic<const char*> cache{nullptr};
    {
        wt::test::AllocationProbe allocations;
        wt::cachedUtf8(cache, kWide, kNarrow, succeedingConverter);
        wt::releaseCachedUtf8(cache, kNarrow);
        if (wt::test::AllocationProbe::active()) {
            EXPECT_EQ(allocations.live(), 0u);
        }
        EXPECT_EQ(wt::cachedUtf8(cache, kWide, kNarrow, succeedingConverter), kNarrow);
        EXPECT_EQ(conversions.load(), 1);
    }

    // The fallback is a literal: releasing it would corrupt the heap.
    cache = nullptr;
    EXPECT_EQ(wt::cachedUtf8(cache, kWide, kNarrow, failingConverter), kNarrow);
    wt::releaseCachedUtf8(cache, kNarrow);
    EXPECT_EQ(cache.load(), kNarrow);
}

}  // namespace

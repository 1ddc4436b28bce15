#include "voice/twiddles.h"

#include <initializer_list>

namespace wt {

namespace {

// The inverse recurrence overwrote the forward u1; the table is only right if both
// directions give the same u1, bit for bit.
constexpr bool bothDirectionsShareU1() {
    TwiddleTable forward{};
    runTwiddleRecurrence(true, forward.u1, forward.u2Forward);
    const TwiddleTable table = makeTwiddleTable();
    for (int32_t i = 1; i < kBlockSize; ++i)
        if (bit_cast<uint64_t>(forward.u1[i]) != bit_cast<uint64_t>(table.u1[i])) return false;
    return true;
}

static_assert(bothDirectionsShareU1());

// The forward transform of real samples works out its first butterflies exactly
// (realTilePasses in fft_kernels.h), relying on these twiddles: (1, +0) at j = 0 of
// passes 0 to 2, and (+0, negative) at pass 1, j = 1 and pass 2, j = 2.
constexpr bool isPositiveZero(double value) {
    return bit_cast<uint64_t>(value) == 0;
}

constexpr bool firstTwiddlesAreExact() {
    const TwiddleTable table = makeTwiddleTable();
    for (const int32_t at : {1, 2, 4})
        if (table.u1[at] != 1.0 || !isPositiveZero(table.u2Forward[at])) return false;
    for (const int32_t at : {2 + 1, 4 + 2})
        if (!isPositiveZero(table.u1[at]) || !(table.u2Forward[at] < 0.0)) return false;
    return true;
}

static_assert(firstTwiddlesAreExact());

}  // namespace

// Constant-initialised: in read-only data from load on, no start-up code, no first-use check.
constinit const TwiddleTable twiddles = makeTwiddleTable();

}  // namespace wt

#include "voice/twiddles.h"

namespace wt {

namespace {

// The inverse recurrence overwrote the forward u1; the table is only right if both
// directions give the same u1, bit for bit.
constexpr bool bothDirectionsShareU1() {
    TwiddleTable forward{};
    runTwiddleRecurrence(true, forward.u1, forward.u2Forward);
    const TwiddleTable table = makeTwiddleTable();
    for (int32_t i = 1; i < kBlockSize; ++i)
        if (std::bit_cast<uint64_t>(forward.u1[i]) != std::bit_cast<uint64_t>(table.u1[i]))
            return false;
    return true;
}

static_assert(bothDirectionsShareU1());

}  // namespace

// Constant-initialised: in read-only data from load on, no start-up code, no first-use check.
constinit const TwiddleTable twiddles = makeTwiddleTable();

}  // namespace wt

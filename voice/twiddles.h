#pragma once

#include <cstdint>

#include "voice/bit_cast.h"
#include "voice/block_size.h"

// The transform's twiddle factors, produced once, at compile time, by the same half-angle
// recurrence the butterfly passes run (never sin/cos), so every factor is bit for bit the
// one the recurrence would give during the pass.
namespace wt {

// Twiddle u = u1 + i*u2 of butterfly j (0 <= j < 2^p) in pass p (0 <= p < kFftOrder) sits
// at index 2^p + j; index 0 is unused. The factors of a pass do not depend on the
// transform's order, so the table serves every order up to kFftOrder. u1 is the same in
// both directions; u2 is not simply negated, because u2 of j = 0 is +0.0 either way.
struct TwiddleTable {
    double u1[kBlockSize];
    double u2Forward[kBlockSize];  // direction 1
    double u2Inverse[kBlockSize];  // any other direction
};

namespace twiddle_detail {

// 2^e as a double, for -1022 <= e <= 1023.
constexpr double powerOfTwo(int32_t e) {
    return bit_cast<double>(static_cast<uint64_t>(e + 1023) << 52);
}

// v exactly, for v <= 2^53. Through two signed 32-bit halves, each converted exactly by
// SSE2 (32-bit x86 has no SSE2 conversion of a 64-bit integer and would use the x87 unit).
constexpr double exactDouble(uint64_t v) {
    constexpr int32_t kLowBits = 27;
    const auto high = static_cast<int32_t>(v >> kLowBits);
    const auto low = static_cast<int32_t>(v & ((uint64_t{1} << kLowBits) - 1));
    return static_cast<double>(high) * powerOfTwo(kLowBits) + static_cast<double>(low);
}

// IEEE square root, correctly rounded like the run-time one, usable in constant
// expressions. x: zero or a positive normal number (the recurrence stays within (0, 1]).
constexpr double squareRoot(double x) {
    if (x == 0.0) return x;
    const uint64_t bits = bit_cast<uint64_t>(x);
    uint64_t significand = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    int32_t exponent = static_cast<int32_t>(bits >> 52) - 1075;  // x = significand * 2^exponent
    if (exponent % 2 != 0) {
        significand <<= 1;
        exponent -= 1;
    }
    // The integer root of significand * 2^52 (below 2^106) has exactly 53 bits. Digit by
    // digit, the radicand's bits brought down two at a time from the top, the
    // significand's and then 52 zeros: the remainder stays at most twice the partial
    // root, below 2^54, so 64-bit integers suffice (32-bit targets have no wider type).
    uint64_t rest = 0;
    uint64_t root = 0;
    for (int32_t pair = 52; pair >= 0; --pair) {
        const int32_t low = 2 * pair - 52;  // the pair's place in the significand
        rest = (rest << 2) | (low >= 0 ? (significand >> low) & 3 : 0);
        const uint64_t trial = (root << 2) | 1;
        root <<= 1;
        if (rest >= trial) {
            rest -= trial;
            root |= 1;
        }
    }
    // Round to nearest: above the midpoint exactly when rest > root (no ties exist).
    if (rest > root) ++root;
    return exactDouble(root) * powerOfTwo((exponent - 52) / 2);
}

}  // namespace twiddle_detail

// The half-angle recurrence: (c1, c2) is a pass's unit step; u advances by it from
// butterfly to butterfly, and the angle halves from pass to pass.
struct TwiddleStep {
    double c1 = -1.0;
    double c2 = 0.0;

    // u <- u * c, each product and sum rounded as written.
    constexpr void advance(double& u1, double& u2) const {
        const double z = u1 * c1 - u2 * c2;
        u2 = u1 * c2 + u2 * c1;
        u1 = z;
    }

    // After a pass. The new c2 comes from the old c1; its sign follows the direction.
    constexpr void halve(bool forward) {
        c2 = twiddle_detail::squareRoot((1.0 - c1) / 2.0);
        if (forward) c2 = -c2;
        c1 = twiddle_detail::squareRoot((1.0 + c1) / 2.0);
    }
};

// Runs the recurrence of every pass for one direction: u1 and u2 of butterfly j of pass p
// go to index 2^p + j.
constexpr void runTwiddleRecurrence(bool forward, double* u1Out, double* u2Out) {
    TwiddleStep step;
    for (int32_t pass = 0; pass < kFftOrder; ++pass) {
        const int32_t l1 = int32_t{1} << pass;
        double u1 = 1.0;
        double u2 = 0.0;
        for (int32_t j = 0; j < l1; ++j) {
            u1Out[l1 + j] = u1;
            u2Out[l1 + j] = u2;
            step.advance(u1, u2);
        }
        step.halve(forward);
    }
}

constexpr TwiddleTable makeTwiddleTable() {
    TwiddleTable table{};
    runTwiddleRecurrence(true, table.u1, table.u2Forward);
    runTwiddleRecurrence(false, table.u1, table.u2Inverse);
    return table;
}

extern const TwiddleTable twiddles;

}  // namespace wt

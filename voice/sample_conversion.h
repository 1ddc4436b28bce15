#pragma once

#include <cstdint>

namespace wt {

// Truncates toward zero, then saturates to the 16-bit sample range.
// value: |value| < 2^31 (the block step keeps it below 2^26).
inline int16_t toSample(double value) {
    const int32_t whole = static_cast<int32_t>(value);
    if (whole > INT16_MAX) return INT16_MAX;
    if (whole < INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(whole);
}

}  // namespace wt

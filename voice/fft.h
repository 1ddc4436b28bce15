#pragma once

#include <cstdint>

namespace wt {

// In-place radix-2 decimation-in-time complex FFT over split arrays.
//
// x, y: real and imaginary parts, each at least 2^m doubles; m <= 0 means one point.
// direction 1: forward, Z[k] = (1/n) * sum_t z[t] * exp(-2*pi*i*k*t/n), scaled by 1/n.
// any other direction: inverse, Z[k] = sum_t z[t] * exp(+2*pi*i*k*t/n), unscaled.
//
// The sequence of IEEE double operations is fixed (twiddles from a half-angle
// recurrence, not a table), so results are reproducible bit for bit. Always returns 1.
int32_t fft(int16_t direction, int32_t m, double* x, double* y);

}  // namespace wt

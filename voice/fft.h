#pragma once

#include <cstdint>

namespace wt {

// In-place radix-2 decimation-in-time complex FFT over split arrays.
//
// x, y: real and imaginary parts, each at least 2^m doubles; m <= 0 means one point,
//   m <= 30.
// direction 1: forward, Z[k] = (1/n) * sum_t z[t] * exp(-2*pi*i*k*t/n), scaled by 1/n.
// any other direction: inverse, Z[k] = sum_t z[t] * exp(+2*pi*i*k*t/n), unscaled.
//
// The IEEE double operations are those of the textbook loop (bit reversal by swaps, then
// passes l = 0..m-1 of butterflies t = u*z[i1], z[i1] = z[i] - t, z[i] = z[i] + t with u
// advanced by the half-angle recurrence, then the forward scaling), each rounded as there,
// so every input without NaN gives the same bits on every CPU. Only the order of
// independent butterflies differs: m = kFftOrder runs vectorised kernels for the best
// instruction set the CPU has (voice/transform_kernels.h); the twiddles come from a table
// the same recurrence filled at compile time (voice/twiddles.h). Always returns 1.
// Allocates nothing, locks nothing, makes no system call.
int32_t fft(int16_t direction, int32_t m, double* x, double* y);

}  // namespace wt

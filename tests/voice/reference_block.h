#pragma once

#include <cstdint>

namespace wt::reference {

// The block step written out step by step on one block of N = kBlockSize samples: load,
// forward transform, clear, remap every source bin i = 0..N-1 in order (direct term to
// a(i), mirror term N-1-i to N-1-a(i)), inverse transform, store by truncation and
// saturation. Kind -1, or any kind without a formula, copies the block. Uses only
// reference::fft and its own transcription of the target formulas.
void processBlock(const int16_t* in, int32_t kind, float strength, int16_t* out);

// The remap step alone: Y = 0, then for i = 0..N-1 in order, X[i] added at a(i) and
// X[N-1-i] at N-1-a(i). All arrays N doubles.
void remap(int32_t kind, float strength, const double* realIn, const double* imagIn,
           double* realOut, double* imagOut);

// The target bin of source bin i before clamping, truncated toward zero.
int32_t unclampedTarget(int32_t kind, int32_t i, double s);

}  // namespace wt::reference

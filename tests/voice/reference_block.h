#pragma once

#include <cstdint>

namespace wt::reference {

// The block step written out step by step on one block of 1024 samples: load, forward
// transform, clear, remap every source bin i = 0..1023 in order (direct term to a(i),
// mirror term 1023 - i to 1023 - a(i)), inverse transform, store by truncation and
// saturation. Kind -1, or any kind without a formula, copies the block. Uses only
// reference::fft and its own transcription of the target formulas.
void processBlock(const int16_t* in, int32_t kind, float strength, int16_t* out);

// The remap step alone: Y = 0, then for i = 0..1023 in order, X[i] added at a(i) and
// X[1023 - i] at 1023 - a(i). All arrays 1024 doubles.
void remap(int32_t kind, float strength, const double* realIn, const double* imagIn,
           double* realOut, double* imagOut);

// The target bin of source bin i before clamping, truncated toward zero.
int32_t unclampedTarget(int32_t kind, int32_t i, double s);

}  // namespace wt::reference

#pragma once

#include <cstdint>

namespace wt::reference {

// The transform written out step by step, in the textbook order of operations: bit
// reversal by swaps, m passes with the twiddle advanced by the half-angle recurrence
// during the pass, then the forward scaling by division. The oracle every fast path
// is compared with, bit for bit.
int32_t fft(int16_t direction, int32_t m, double* x, double* y);

}  // namespace wt::reference

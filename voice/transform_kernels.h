#pragma once

#include <cstdint>

#include "voice/block_size.h"

// The kBlockSize-point transform, once per instruction set, chosen at run time. Every set
// gives the same results, bit for bit; the choice only changes the speed.
namespace wt {

// Baseline needs nothing beyond the architecture's own vector unit: SSE2 on x86 (64-bit,
// and 32-bit, which is built for SSE2 arithmetic), generic code elsewhere. The others are
// used only where the CPU and the OS support them.
enum class Isa : int32_t { Baseline = 0, Avx2 = 1, Avx512 = 2 };
inline constexpr int32_t kIsaCount = 3;

// Whether this CPU (and the OS, for the wider registers) can run `isa`. Reads the CPU
// feature flags; no system call.
bool isaSupported(Isa isa);

// The best supported instruction set, decided on the first call and kept.
// Lock-free: racing first calls decide the same thing.
Isa selectedIsa();

// Makes every later transform use `isa`, which must be supported. For tests and
// benchmarks that compare the instruction sets; the plugin never calls it.
void forceIsa(Isa isa);

// "sse2" (or "portable" off x86), "avx2", "avx512".
const char* isaName(Isa isa);

struct TransformKernels {
    // fft(direction, kFftOrder, x, y) in place, forward when `forward`
    // (scaled by 1/kBlockSize), inverse unscaled otherwise.
    void (*transform)(bool forward, double* x, double* y);

    // Forward transform of column `channel` of the kBlockSize rows as real samples;
    // the scaled spectrum goes to x, y (kBlockSize doubles each).
    void (*forwardFromColumn)(const int16_t (*rows)[kRingChannels], int32_t channel, double* x,
                              double* y);

    // Inverse transform of x, y, using scratchX, scratchY (kBlockSize doubles each, not
    // overlapping x, y) as work space; the real parts, truncated toward zero and saturated,
    // are stored as samples in column `channel` of the kBlockSize rows.
    void (*inverseToColumn)(const double* x, const double* y, double* scratchX, double* scratchY,
                            int16_t (*rows)[kRingChannels], int32_t channel);
};

// isa: one that isaSupported() accepts.
const TransformKernels& transformKernels(Isa isa);

}  // namespace wt

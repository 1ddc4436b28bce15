#pragma once

#include <cstdint>

#include "voice/block_size.h"
#include "voice/effect_settings.h"

namespace wt {

// Spectral work arrays, used only by processBlock(), by one capture call at a time. Every block
// overwrites them before reading them.
extern double realIn[kBlockSize];   // Re X, then scratch of the inverse transform
extern double imagIn[kBlockSize];   // Im X, then scratch of the inverse transform
extern double realOut[kBlockSize];  // Re Y, read by the inverse transform
extern double imagOut[kBlockSize];  // Im Y, read by the inverse transform

// Rewrites column `channel` (0..kRingChannels-1) of `output` from the same column of
// `input`: kBlockSize rows each, the sample rings of voice/capture_ring.h on the voice
// path. Reads the effect settings once, for the whole block.
//   No effect (any kind without a formula): a bit-exact copy; the work arrays are not
//     touched.
//   An effect: X = fft forward (scaled by 1/kBlockSize); every source bin i = 0..1023
//     is added at target a(i) and its mirror bin kMirror - i at kMirror - a(i), with
//     a(i) = effectTarget(kind, i, strength) (voice/effects.h); y = fft inverse
//     (unscaled); the real part is truncated toward zero and saturated to -32768..32767.
//   The result is bit for bit that of running these steps one by one; the load is folded
//   into the forward transform, the store into the inverse one, and the remap follows a
//   plan made once per effect setting (voice/bin_remap.h).
// Allocates nothing, locks nothing, makes no system call.
void processBlock(const int16_t (*input)[kRingChannels], int16_t (*output)[kRingChannels],
                  int32_t channel);

// Truncates toward zero, then saturates to the 16-bit sample range.
// value: |value| < 2^31 (the block step keeps it below 2^26).
int16_t toSample(double value);

}  // namespace wt

#pragma once

#include <cstddef>
#include <cstdint>

#include "voice/block_size.h"

namespace wt {

// The input and output sample rings of the voice engine: kBlockSize positions by
// kRingChannels channel columns, with one write and one read position shared by all
// channels. Static, zero at load, never reset while the library stays loaded.
//
// Each captured sample takes one position: popSample() first hands out the processed
// sample stored there, then pushSample() stores the captured one. The push that fills
// position kBlockSize - 1 processes that channel's column, so every sample comes back
// exactly kBlockSize samples late (the first kBlockSize samples after load are 0).
struct CaptureRing {
    int16_t input[kBlockSize][kRingChannels];   // captured samples, [position][channel]
    int16_t output[kBlockSize][kRingChannels];  // processed samples, [position][channel]
    int32_t writePosition;                      // 0..kBlockSize-1, next push fills it
    int32_t readPosition;                       // 0..kBlockSize-1, next pop reads it
};

extern CaptureRing captureRing;

// channel: 0..kRingChannels-1. Completing a block runs processBlock(channel) before the
// write position wraps.
void pushSample(int16_t sample, int32_t channel);

// channel: 0..kRingChannels-1.
int16_t popSample(int32_t channel);

// popSample() then pushSample() for each of `count` samples of one channel, in order:
// samples[k * stride] is replaced by the processed sample and goes into the ring.
// The same result as the two calls per sample, without a call per sample.
// channel: 0..kRingChannels-1; count >= 0.
void exchangeSamples(int16_t* samples, size_t stride, int32_t count, int32_t channel);

}  // namespace wt

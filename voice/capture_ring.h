#pragma once

#include <cstddef>
#include <cstdint>

#include "voice/block_size.h"

namespace wt {

// The input and output sample rings of the voice engine: kBlockSize positions by
// kRingChannels channel columns, with one write and one read position shared by all
// channels. Static, zero at load, never reset while the library stays loaded.
//
// Each captured sample takes one position: the processed sample stored there is handed
// out first, then the captured one is stored. Storing into position kBlockSize - 1
// processes that channel's column, so every sample comes back exactly kBlockSize samples
// late (the first kBlockSize samples after load are 0).
//
// Touched only by one capture call at a time: the capture entry keeps a second,
// overlapping call out (plugin/entry_points.h).
struct CaptureRing {
    int16_t input[kBlockSize][kRingChannels];   // captured samples, [position][channel]
    int16_t output[kBlockSize][kRingChannels];  // processed samples, [position][channel]
    int32_t writePosition;                      // 0..kBlockSize-1, next push fills it
    int32_t readPosition;                       // 0..kBlockSize-1, next pop reads it
};

extern CaptureRing captureRing;

// For each of `count` samples of one channel, in order: samples[k * stride] is replaced
// by the processed sample at the read position and goes into the input ring at the write
// position. Filling the last position runs processBlock() on the channel's column before
// the write position wraps.
// channel: 0..kRingChannels-1; count >= 0.
void exchangeSamples(int16_t* samples, size_t stride, int32_t count, int32_t channel);

}  // namespace wt

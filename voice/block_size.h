#pragma once

#include <cstdint>

// Every size of the voice engine derives from the transform order.
namespace wt {

inline constexpr int32_t kFftOrder = 10;                // log2 of the block length
inline constexpr int32_t kBlockSize = 1 << kFftOrder;   // samples per block of one channel
inline constexpr int32_t kNyquistBin = kBlockSize / 2;  // half the sample rate; highest target
inline constexpr int32_t kMirror = kBlockSize - 1;      // mirror index of i is kMirror - i
inline constexpr int32_t kRingChannels = 100;           // channel columns of the rings

}  // namespace wt

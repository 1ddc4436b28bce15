#include "voice/block_processor.h"

#include "voice/bin_remap.h"
#include "voice/effects.h"
#include "voice/transform_kernels.h"

namespace wt {

alignas(64) double realIn[kBlockSize];
alignas(64) double imagIn[kBlockSize];
alignas(64) double realOut[kBlockSize];
alignas(64) double imagOut[kBlockSize];

int16_t toSample(double value) {
    const int32_t whole = static_cast<int32_t>(value);
    if (whole > INT16_MAX) return INT16_MAX;
    if (whole < INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(whole);
}

void processBlock(const int16_t (*input)[kRingChannels], int16_t (*output)[kRingChannels],
                  int32_t channel) {
    const EffectSnapshot settings = loadEffectSettings();

    if (!hasFormula(settings.kind)) {
        for (int32_t q = 0; q < kBlockSize; ++q) output[q][channel] = input[q][channel];
        return;
    }

    // Load, forward transform, remap, inverse transform and store, with the load folded
    // into the first passes and the store into the last one. X is spent once Y is made,
    // so its arrays are the inverse's scratch.
    const TransformKernels& kernels = transformKernels(selectedIsa());
    kernels.forwardFromColumn(input, channel, realIn, imagIn);
    remapBins(remapPlanFor(settings), realIn, imagIn, realOut, imagOut);
    kernels.inverseToColumn(realOut, imagOut, realIn, imagIn, output, channel);
}

}  // namespace wt

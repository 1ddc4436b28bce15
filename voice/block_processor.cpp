#include "voice/block_processor.h"

#include "voice/bin_remap.h"
#include "voice/capture_ring.h"
#include "voice/transform_kernels.h"

namespace wt {

alignas(64) double realIn[kBlockSize];
alignas(64) double imagIn[kBlockSize];
alignas(64) double realOut[kBlockSize];
alignas(64) double imagOut[kBlockSize];

namespace {

// i * (1 - s) + P * s: kinds 2 to 4, where P is an integer formula of the bin.
double blendWithInteger(double i, double s, int32_t p) {
    const double kept = i * (1.0 - s);
    const double moved = static_cast<double>(p) * s;
    return kept + moved;
}

double targetBeforeTruncation(EffectKind kind, int32_t bin, double s) {
    constexpr int32_t n = kBlockSize;
    const double i = bin;
    switch (kind) {
        case EffectKind::Higher:
            return i * (s + 1.0);
        case EffectKind::Lower:
            return i / (s + 1.0);
        case EffectKind::Monster:
            return blendWithInteger(i, s, ((bin / n) * bin) << 2);
        case EffectKind::SpaceVoice:
            return blendWithInteger(i, s, (((2 * bin) / n) * bin) << 2);
        case EffectKind::SpaceVoice2:
            return blendWithInteger(i, s, (((4 * bin) / n) * bin) << 3);
        case EffectKind::Robot: {
            double bend = static_cast<double>(n - bin) * 1.5;
            bend = bend / 1024.0;
            bend = i * bend;
            bend = bend + bend;
            bend = bend * s;
            return i * (1.0 - s) + bend;
        }
        case EffectKind::Alien: {
            const int32_t q = (bin * bin) / 10;
            double bend = static_cast<double>(q) / (s + 1.0);
            bend = bend * s;
            return i * (1.0 - s) + bend;
        }
        case EffectKind::None:
            break;
    }
    return i;
}

}  // namespace

int32_t effectTarget(EffectKind kind, int32_t bin, float strength) {
    // Every target stays far inside the 32-bit range (the largest is 24 * 1023).
    int32_t a = static_cast<int32_t>(targetBeforeTruncation(kind, bin, strength));
    if (a < 0) a = 0;
    if (a > kHalf) a = kHalf;
    return a;
}

int16_t toSample(double value) {
    const int32_t whole = static_cast<int32_t>(value);
    if (whole > INT16_MAX) return INT16_MAX;
    if (whole < INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(whole);
}

void processBlock(int32_t channel) {
    const EffectSnapshot settings = loadEffectSettings();
    const int32_t kind = static_cast<int32_t>(settings.kind);

    if (kind < 0 || kind >= kEffectKindCount) {
        for (int32_t q = 0; q < kBlockSize; ++q)
            captureRing.output[q][channel] = captureRing.input[q][channel];
        return;
    }

    // Load, forward transform, remap, inverse transform and store, with the load folded
    // into the first passes and the store into the last one.
    const TransformKernels& kernels = transformKernels(selectedIsa());
    kernels.forwardFromColumn(captureRing.input, channel, realIn, imagIn);
    remapBins(remapPlanFor(settings), realIn, imagIn, realOut, imagOut);
    kernels.inverseToColumn(realOut, imagOut, realIn, imagIn, captureRing.output, channel);
}

}  // namespace wt

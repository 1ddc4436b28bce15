#include "voice/capture_ring.h"

#include "voice/block_processor.h"

namespace wt {

constinit CaptureRing captureRing{};

void pushSample(int16_t sample, int32_t channel) {
    captureRing.input[captureRing.writePosition][channel] = sample;
    ++captureRing.writePosition;
    if (captureRing.writePosition >= kBlockSize) {
        processBlock(channel);
        captureRing.writePosition = 0;
    }
}

int16_t popSample(int32_t channel) {
    const int16_t sample = captureRing.output[captureRing.readPosition][channel];
    ++captureRing.readPosition;
    if (captureRing.readPosition >= kBlockSize) captureRing.readPosition = 0;
    return sample;
}

}  // namespace wt

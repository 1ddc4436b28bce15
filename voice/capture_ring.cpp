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

void exchangeSamples(int16_t* samples, size_t stride, int32_t count, int32_t channel) {
    int32_t read = captureRing.readPosition;
    int32_t write = captureRing.writePosition;
    for (int32_t k = 0; k < count; ++k) {
        int16_t& slot = samples[stride * static_cast<size_t>(k)];
        const int16_t captured = slot;
        slot = captureRing.output[read][channel];
        if (++read >= kBlockSize) read = 0;
        captureRing.input[write][channel] = captured;
        if (++write >= kBlockSize) {
            captureRing.readPosition = read;
            captureRing.writePosition = write;
            processBlock(channel);
            write = 0;
        }
    }
    captureRing.readPosition = read;
    captureRing.writePosition = write;
}

}  // namespace wt

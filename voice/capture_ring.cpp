#include "voice/capture_ring.h"

#include "voice/block_processor.h"

namespace wt {

constinit CaptureRing captureRing{};

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
            processBlock(captureRing.input, captureRing.output, channel);
            write = 0;
        }
    }
    captureRing.readPosition = read;
    captureRing.writePosition = write;
}

}  // namespace wt

#include "tools/live/voice_pipe.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace wt::live {

namespace {

// Keeps the higher of the stored peak and `peak`; the status line takes and zeroes it.
void raisePeak(std::atomic<int32_t>& stored, int32_t peak) {
    int32_t seen = stored.load(std::memory_order_relaxed);
    while (peak > seen && !stored.compare_exchange_weak(seen, peak, std::memory_order_relaxed)) {
    }
}

}  // namespace

int32_t peakOf(const int16_t* samples, int frames) {
    int32_t peak = 0;
    for (int i = 0; i < frames; ++i) {
        const int32_t magnitude = std::abs(static_cast<int32_t>(samples[i]));
        if (magnitude > peak) peak = magnitude;
    }
    return peak;
}

void VoicePipe::cycle(const int16_t* in, int16_t* out, int frames) {
    const auto start = std::chrono::steady_clock::now();
    if (out != in) std::memcpy(out, in, static_cast<size_t>(frames) * sizeof(int16_t));
    raisePeak(counters_.inputPeak, peakOf(in, frames));
    session_.captureVoice(out, frames);
    raisePeak(counters_.outputPeak, peakOf(out, frames));
    const auto busy = std::chrono::steady_clock::now() - start;
    counters_.busyNanoseconds.fetch_add(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(busy).count()),
        std::memory_order_relaxed);
    counters_.frames.fetch_add(static_cast<uint64_t>(frames), std::memory_order_relaxed);
    counters_.cycles.fetch_add(1, std::memory_order_relaxed);
}

void VoicePipe::clock(uint64_t duration, uint32_t rate) {
    counters_.graphRate.store(rate, std::memory_order_relaxed);
    counters_.graphQuantum.store(static_cast<uint32_t>(duration), std::memory_order_relaxed);
}

}  // namespace wt::live

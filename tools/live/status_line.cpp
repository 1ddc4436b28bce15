#include "tools/live/status_line.h"

#include <cmath>
#include <cstdio>

namespace wt::live {

namespace {

constexpr double kFullScale = 32768.0;

}  // namespace

std::string peakText(int32_t peak) {
    if (peak <= 0) return "-inf";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 20.0 * std::log10(peak / kFullScale));
    return text;
}

std::string statusLine(const std::string& effect, float strength, PipeCounters& counters) {
    const int32_t in = counters.inputPeak.exchange(0, std::memory_order_relaxed);
    const int32_t out = counters.outputPeak.exchange(0, std::memory_order_relaxed);
    char text[160];
    std::snprintf(
        text, sizeof text, "%s, strength %g | in %s dBFS | out %s dBFS | dropped %llu",
        effect.c_str(), static_cast<double>(strength), peakText(in).c_str(), peakText(out).c_str(),
        static_cast<unsigned long long>(counters.droppedCycles.load(std::memory_order_relaxed)));
    return text;
}

std::string summaryLine(const PipeCounters& counters, int sampleRate) {
    const double audioSeconds =
        static_cast<double>(counters.frames.load(std::memory_order_relaxed)) / sampleRate;
    const double busySeconds =
        static_cast<double>(counters.busyNanoseconds.load(std::memory_order_relaxed)) * 1e-9;
    const double perSecond = audioSeconds > 0 ? busySeconds / audioSeconds : 0.0;
    char text[256];
    std::snprintf(
        text, sizeof text,
        "%.1f s of audio, %llu cycles, %llu dropped (the graph's clock skipped %llu frames); "
        "callback %.0f us per second of "
        "audio (%.3f %% of one core)",
        audioSeconds,
        static_cast<unsigned long long>(counters.cycles.load(std::memory_order_relaxed)),
        static_cast<unsigned long long>(counters.droppedCycles.load(std::memory_order_relaxed)),
        static_cast<unsigned long long>(counters.missedFrames.load(std::memory_order_relaxed)),
        perSecond * 1e6, perSecond * 100.0);
    return text;
}

}  // namespace wt::live

#pragma once

#include <atomic>
#include <cstdint>

#include "tools/session/plugin_session.h"

// The audio thread's whole job: one cycle of captured samples through the plugin into the
// microphone's buffer, and the counters the status line shows. Runs on PipeWire's
// real-time data thread: it allocates nothing, takes no lock and makes no system call
// (the clock is read through the vDSO). Every counter is an atomic written only here and
// read by the main thread.
namespace wt::live {

struct PipeCounters {
    std::atomic<uint64_t> cycles{0};
    std::atomic<uint64_t> frames{0};           // samples through the plugin
    std::atomic<uint64_t> droppedCycles{0};    // cycles lost: no input or output buffer, or
                                               // skipped by the graph itself
    std::atomic<uint64_t> missedFrames{0};     // frames the graph's clock skipped
    std::atomic<uint64_t> busyNanoseconds{0};  // time spent in the plugin and the copies
    std::atomic<int32_t> inputPeak{0};         // highest |sample| since the last take
    std::atomic<int32_t> outputPeak{0};
    std::atomic<uint32_t> graphRate{0};     // the driver's rate, 0 before the first cycle
    std::atomic<uint32_t> graphQuantum{0};  // frames per cycle, 0 before the first cycle
};

class VoicePipe {
  public:
    explicit VoicePipe(session::PluginSession& session) : session_(session) {}

    // [audio thread] Copies `frames` captured samples to `out` (unless they are one),
    // which the plugin then rewrites in place. `out` holds at least `frames` samples.
    void cycle(const int16_t* in, int16_t* out, int frames);

    // [audio thread] A cycle whose input or output buffer was missing: counts it.
    void drop() { counters_.droppedCycles.fetch_add(1, std::memory_order_relaxed); }

    // [audio thread] The graph's clock skipped `frames`: one lost cycle more.
    void missed(uint64_t frames) {
        counters_.missedFrames.fetch_add(frames, std::memory_order_relaxed);
        drop();
    }

    // [audio thread] The graph's clock at each cycle: `duration` in frames, `rate` in Hz.
    void clock(uint64_t duration, uint32_t rate);

    // [any thread]
    const PipeCounters& counters() const { return counters_; }

    PipeCounters& counters() { return counters_; }

  private:
    session::PluginSession& session_;
    PipeCounters counters_;
};

// The highest |sample| of `samples`, as a positive 32-bit value (32768 for -32768).
int32_t peakOf(const int16_t* samples, int frames);

}  // namespace wt::live

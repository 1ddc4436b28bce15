#pragma once

#include <atomic>
#include <cstdint>

#include "tools/live/voice_pipe.h"

struct pw_stream;
struct spa_io_position;

// Everything that runs on PipeWire's real-time data thread, in one object: each captured
// buffer through the plugin into the feed's buffer (and the monitor's), in the cycle it
// was captured. Allocates nothing, takes no lock, makes no system call (its object code
// is checked for that); it reaches the main thread only through atomics.
//
// The stream pointers are set by the main thread only while the data thread cannot run
// the process callbacks that read them: before the streams connect, or from within the
// data loop (pw_data_loop_invoke) for the monitor, which comes and goes at run time.
namespace wt::live {

class DataCycle {
  public:
    explicit DataCycle(VoicePipe& pipe) : pipe_(pipe) {}

    // [main thread, streams not connected] The path's two streams; null: none.
    void attach(pw_stream* capture, pw_stream* feed) {
        capture_ = capture;
        feed_ = feed;
        clockId_ = ~0u;
    }

    // [data thread] The monitor stream, or null.
    void setMonitor(pw_stream* monitor) { monitor_ = monitor; }

    // [data thread] The capture stream's position area (null when it goes).
    void setPosition(spa_io_position* position) { position_ = position; }

    // [data thread] The capture stream's process callback: reads the graph's clock and
    // runs the feed now, in this cycle.
    void captured();

    // [data thread] The feed stream's process callback: the plugin's work.
    void feed();

    // [main thread] Whether the capture stream is linked from an input: while it is not,
    // a cycle without captured samples is silence fed to the plugin, not a loss.
    std::atomic<bool> inputLinked{false};

  private:
    VoicePipe& pipe_;
    pw_stream* capture_ = nullptr;
    pw_stream* feed_ = nullptr;
    pw_stream* monitor_ = nullptr;
    spa_io_position* position_ = nullptr;
    // Cycles a forward jump of the clock may take to be taken back by a repeat.
    static constexpr int kSettleCycles = 4;
    uint32_t clockId_ = ~0u;    // the driver whose positions are compared
    uint64_t expected_ = 0;     // the position the next cycle starts at, in frames
    uint64_t pendingMiss_ = 0;  // frames the clock jumped over, not yet taken back
    int pendingAge_ = 0;
    uint64_t fedPosition_ = ~0ull;  // the position of the cycle last fed
};

}  // namespace wt::live

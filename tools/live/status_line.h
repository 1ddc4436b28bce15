#pragma once

#include <cstdint>
#include <string>

#include "tools/live/voice_pipe.h"

// What the main thread reports about the audio thread's work, from its atomics.
namespace wt::live {

// Peak level in dBFS of a peak magnitude (1 to 32768); "-inf" for silence.
std::string peakText(int32_t peak);

// The one status line: effect, strength, input and output peak levels since the last
// call (which takes and zeroes them), dropped cycles.
std::string statusLine(const std::string& effect, float strength, PipeCounters& counters);

// The closing account: audio seconds, cycles, dropped cycles, and the callback's time per
// second of audio (in microseconds and as a share of one core).
std::string summaryLine(const PipeCounters& counters, int sampleRate);

}  // namespace wt::live

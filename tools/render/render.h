#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "voice/block_size.h"

// The capture loop: audio in, through the plugin call by call, out again.
namespace wt::render {

// The plugin hands each sample back this many samples late: one block of its engine.
inline constexpr int32_t kPluginDelay = kBlockSize;

// Fills the span with the next input samples; returns how many, fewer only at the end.
using ReadInput = std::function<size_t(std::span<int16_t>)>;
// One capture call: rewrites the samples in place.
using Capture = std::function<void(std::span<int16_t>)>;
// Receives output samples in order.
using WriteOutput = std::function<void(std::span<const int16_t>)>;
// Told how many input frames have gone through so far.
using Progress = std::function<void(int64_t)>;

struct RenderSettings {
    int frames;  // per capture call, >= 1
    bool raw;    // keep the delay instead of compensating it
};

// Feeds the input through `capture` in calls of `frames` samples (the last one shorter).
// Compensated (the default), the first kPluginDelay samples out are dropped and
// kPluginDelay zeros are fed after the input, so output sample t is the plugin's answer
// to input sample t and the output is exactly as long as the input. Raw, the output is
// what the calls returned for the input itself: as long, and kPluginDelay samples late.
void renderStream(const ReadInput& read, const Capture& capture, const WriteOutput& write,
                  const Progress& progress, RenderSettings settings);

}  // namespace wt::render

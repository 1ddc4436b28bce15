// The captured-voice entry point: every buffer of microphone audio passes through here.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "plugin/entry_points.h"
#include "voice/capture_ring.h"

namespace {

// The two edit flag bits the client defines for this event.
constexpr int kEditedFlags = 1 | 2;

// Set while a call is inside the voice path. The rings, their positions, the spectral
// work arrays and the remap plan belong to that call alone. A client capturing on two
// threads at once makes a second call find it set: that call may neither wait (an audio
// thread must not block) nor touch any of them, so it hands back silence, never the
// undisguised voice. Acquire and release also order every call after the one before it
// when the client moves capture from one thread to another.
constinit std::atomic<bool> voicePathTaken{false};

void silenceRingChannels(short* samples, int sampleCount, size_t stride, int ringChannels) {
    for (int frame = 0; frame < sampleCount; ++frame) {
        short* first = samples + stride * static_cast<size_t>(frame);
        for (int c = 0; c < ringChannels; ++c) first[c] = 0;
    }
}

}  // namespace

WT_EXPORT void ts3plugin_onEditCapturedVoiceDataEvent(uint64_t /*serverConnectionHandlerID*/,
                                                      short* samples, int sampleCount, int channels,
                                                      int* edited) {
    if (samples != nullptr && sampleCount > 0 && channels > 0) {
        const int ringChannels = channels < wt::kRingChannels ? channels : wt::kRingChannels;
        const size_t stride = static_cast<size_t>(channels);
        if (voicePathTaken.exchange(true, std::memory_order_acquire)) {
            silenceRingChannels(samples, sampleCount, stride, ringChannels);
        } else {
            // Per sample, pop before push: the sample handed back for position p is the one
            // processed a full block ago, including at the block's last position.
            for (int c = 0; c < ringChannels; ++c)
                wt::exchangeSamples(samples + c, stride, sampleCount, c);
            voicePathTaken.store(false, std::memory_order_release);
        }
    }
    if (edited != nullptr) *edited |= kEditedFlags;
}

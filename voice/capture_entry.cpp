// The captured-voice entry point: every buffer of microphone audio passes through here.

#include <cstddef>
#include <cstdint>

#include "plugin/entry_points.h"
#include "voice/capture_ring.h"

namespace {

// The two edit flag bits the client defines for this event.
constexpr int kEditedFlags = 1 | 2;

}  // namespace

WT_EXPORT void ts3plugin_onEditCapturedVoiceDataEvent(uint64_t /*serverConnectionHandlerID*/,
                                                      short* samples, int sampleCount, int channels,
                                                      int* edited) {
    if (samples != nullptr && sampleCount > 0 && channels > 0) {
        const int ringChannels = channels < wt::kRingChannels ? channels : wt::kRingChannels;
        const size_t stride = static_cast<size_t>(channels);
        // Per sample, pop before push: the sample handed back for position p is the one
        // processed a full block ago, including at the block's last position.
        for (int c = 0; c < ringChannels; ++c)
            wt::exchangeSamples(samples + c, stride, sampleCount, c);
    }
    if (edited != nullptr) *edited |= kEditedFlags;
}

// The events left without effect. Their parameter lists are shortened on purpose (see
// their declarations): no argument is named, so none can be read by mistake.

#include <cstdint>

#include "plugin/entry_points.h"

WT_EXPORT int ts3plugin_onServerPermissionErrorEvent(uint64_t /*handler*/) {
    return 0;
}

#define WT_DEFINE_HANDLER_ONLY_EVENT(name) \
    WT_EXPORT void name(uint64_t /*handler*/) {}
WT_HANDLER_ONLY_EVENTS(WT_DEFINE_HANDLER_ONLY_EVENT)
#undef WT_DEFINE_HANDLER_ONLY_EVENT

WT_EXPORT void ts3plugin_onUserLoggingMessageEvent(void) {}

WT_EXPORT void ts3plugin_onSoundDeviceListChangedEvent(void) {}

// clang-format off
WT_EXPORT void ts3plugin_onEditPlaybackVoiceDataEvent(uint64_t /*handler*/, uint16_t /*clientID*/,
                                                      short* /*samples*/, int /*sampleCount*/,
                                                      int /*channels*/) {}
WT_EXPORT void ts3plugin_onEditPostProcessVoiceDataEvent(uint64_t /*handler*/, uint16_t /*clientID*/,
                                                         short* /*samples*/, int /*sampleCount*/,
                                                         int /*channels*/,
                                                         const unsigned int* /*channelSpeakerArray*/,
                                                         unsigned int* /*channelFillMask*/) {}
WT_EXPORT void ts3plugin_onEditMixedPlaybackVoiceDataEvent(uint64_t /*handler*/, short* /*samples*/,
                                                           int /*sampleCount*/, int /*channels*/,
                                                           const unsigned int* /*channelSpeakerArray*/,
                                                           unsigned int* /*channelFillMask*/) {}
WT_EXPORT void ts3plugin_onCustom3dRolloffCalculationClientEvent(uint64_t /*handler*/, uint16_t /*clientID*/,
                                                                 float /*distance*/, float* /*volume*/) {}
WT_EXPORT void ts3plugin_onCustom3dRolloffCalculationWaveEvent(uint64_t /*handler*/, uint64_t /*waveHandle*/,
                                                               float /*distance*/, float* /*volume*/) {}

// clang-format on

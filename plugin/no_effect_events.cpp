// The events the client's interface requires and this plugin leaves without effect: each
// reads none of its arguments, changes nothing and returns at once. A client may call any
// of them with any argument list (the caller cleans the stack), so only the handler ID is
// named where the event belongs to one connection; the five that receive buffers take
// their full parameter lists and leave every buffer as it was.
//
// [any client thread, any time, even before ts3plugin_setFunctionPointers]

#include <cstdint>

#include "plugin/export.h"

// clang-format off
// ---- Permissions ---------------------------------------------------------------------------

// Returns 0: the error is not handled here.
WT_EXPORT int ts3plugin_onServerPermissionErrorEvent(uint64_t /*handler*/) { return 0; }
WT_EXPORT void ts3plugin_onClientNeededPermissionsEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientNeededPermissionsFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onPermissionListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onPermissionListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onPermissionListGroupEndIDEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onPermissionOverviewEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onPermissionOverviewFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelClientPermListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelClientPermListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientPermListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientPermListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelPermListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelPermListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelGroupPermListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelGroupPermListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupPermListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupPermListFinishedEvent(uint64_t /*handler*/) {}

// ---- Server and channel groups -------------------------------------------------------------

WT_EXPORT void ts3plugin_onServerGroupListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupByClientIDEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupClientListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupClientAddedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerGroupClientDeletedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelGroupListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelGroupListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientChannelGroupChangedEvent(uint64_t /*handler*/) {}

// ---- Channels ------------------------------------------------------------------------------

WT_EXPORT void ts3plugin_onNewChannelEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onNewChannelCreatedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onDelChannelEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelMoveEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onUpdateChannelEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onUpdateChannelEditedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelDescriptionUpdateEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelPasswordChangedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelSubscribeEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelSubscribeFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelUnsubscribeEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onChannelUnsubscribeFinishedEvent(uint64_t /*handler*/) {}

// ---- Clients -------------------------------------------------------------------------------

WT_EXPORT void ts3plugin_onUpdateClientEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientMoveEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientMoveSubscriptionEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientMoveTimeoutEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientMoveMovedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientKickFromChannelEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientKickFromServerEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientBanFromServerEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientIDsEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientIDsFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientSelfVariableUpdateEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientChatComposingEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientChatClosedEvent(uint64_t /*handler*/) {}

// ---- Client database lookups ---------------------------------------------------------------

WT_EXPORT void ts3plugin_onClientDBIDfromUIDEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientNamefromUIDEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientNamefromDBIDEvent(uint64_t /*handler*/) {}

// ---- Server --------------------------------------------------------------------------------

WT_EXPORT void ts3plugin_onServerEditedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerUpdatedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerStopEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerConnectionInfoEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onConnectionInfoEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerTemporaryPasswordListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerLogEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onServerLogFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onClientServerQueryLoginPasswordEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onIncomingClientQueryEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onUserLoggingMessageEvent(void) {}

// ---- Bans, complaints, offline messages ----------------------------------------------------

WT_EXPORT void ts3plugin_onBanListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onComplainListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onMessageListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onMessageGetEvent(uint64_t /*handler*/) {}

// ---- Files ---------------------------------------------------------------------------------

WT_EXPORT void ts3plugin_onFileListEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onFileListFinishedEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onFileInfoEvent(uint64_t /*handler*/) {}
WT_EXPORT void ts3plugin_onFileTransferStatusEvent(uint64_t /*handler*/) {}

// ---- Sound ---------------------------------------------------------------------------------

WT_EXPORT void ts3plugin_onSoundDeviceListChangedEvent(void) {}
WT_EXPORT void ts3plugin_onPlaybackShutdownCompleteEvent(uint64_t /*handler*/) {}

// Voice of other clients and the mixed playback: played as received.
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

// 3-D positioning: the volume the client computed stands.
WT_EXPORT void ts3plugin_onCustom3dRolloffCalculationClientEvent(uint64_t /*handler*/, uint16_t /*clientID*/,
                                                                 float /*distance*/, float* /*volume*/) {}
WT_EXPORT void ts3plugin_onCustom3dRolloffCalculationWaveEvent(uint64_t /*handler*/, uint64_t /*waveHandle*/,
                                                               float /*distance*/, float* /*volume*/) {}
// clang-format on

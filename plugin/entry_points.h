#pragma once

// The entry points through which the client drives the plugin, as plugin/exported_symbols.txt
// lists them, one contract each: what it does, who owns every pointer and for how long,
// what a null means, and a tag saying on which thread and in which state the client may
// call it. This is the only place the contracts are written; the definitions carry only
// the reasons behind their code.
//
// ---- Calling contexts (the first word of every tag) -------------------------------------
// [main thread]    The client's thread that loads the plugin, while no other thread is
//                  inside it. The plugin relies on nothing running beside such a call.
// [audio thread]   The thread on which the client delivers captured audio. Two such calls
//                  never overlap (each one happens before the next), but each may run at
//                  the same time as any [any thread] call on another thread.
// [any thread]     Any thread, several at once, at the same time as every entry point but
//                  one tagged [main thread]; the plugin's own calls included.
// [loader thread]  The thread on which the system maps or frees the library, under its
//                  loader lock. Only the Windows DLL entry (plugin/dll_main.cpp) runs there.
//
// ---- Lifecycle states (after the context) -----------------------------------------------
// at load                    Before every entry point tagged after setFunctionPointers or
//                            after registerPluginID.
// any time                   Needs nothing: also before ts3plugin_setFunctionPointers and
//                            after ts3plugin_shutdown.
// after setFunctionPointers  Calls the client, so the contract holds once
//                            ts3plugin_setFunctionPointers has returned. Earlier, every call
//                            into the client fails as if the client had reported an error
//                            (nothing reaches it, nothing crashes), and the entry point does
//                            what its contract says for a failed query.
// after registerPluginID     Also hands the client the plugin identifier, so the contract
//                            holds once ts3plugin_registerPluginID has kept one (and the
//                            state above holds). Without one (before it, after
//                            ts3plugin_shutdown, when no copy could be made) whatever needs
//                            it prints "PLUGIN: Failed to <action>, was not registered.".
// A call made in an earlier state than its tag names is harmless; it just does less.
//
// ---- Ownership (one of these sentences for every pointer) -------------------------------
// "Valid only during this call; copied if kept."                      (the client's input)
// "Owned by the host after return; released through ts3plugin_freeMemory."
// "Owned by the plugin; released with the host's freeMemory as soon as used."
//                                                 (what a host function hands the plugin)
// "Owned by the plugin; lives as long as the library; never released by the host."
//
// Every text is NUL-terminated UTF-8; a text argument that is null reads as the empty text
// unless its contract says otherwise. H is a server connection handler ID. Every console
// line goes to standard output exactly as quoted, followed by a newline.

#include <cstdint>

#include "host/calling_convention.h"
#include "host/host_functions.h"
#include "host/plugin_records.h"

// ---- Identity ---------------------------------------------------------------------------
// Each text: Owned by the plugin; lives as long as the library; never released by the
// host. Every call of one load returns the same pointer. They read no other state, so the
// plugin itself calls them too (the connection report).

// "MOR-LEX Wacky Throats 1.0", converted to UTF-8 from its wide form on the first call;
// if that conversion fails, the same text from a narrow literal, and no conversion is
// tried again. When two threads ask first at once, one conversion wins and both get it.
// The converted text is released when the library is unloaded; a process that ends with
// the library loaded can still read it in its atexit handlers and static destructors.
// [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_name(void);

// The project's version, "1.2" (while the name says "1.0"); plugin/version.h, generated
// from CMake's VERSION, which names the release archives too. [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_version(void);

// The plugin interface version this library implements: 19. [any thread, any time]
WT_EXPORT int WT_CALL ts3plugin_apiVersion(void);

// "MOR-LEX Haldrup Computersoftware GbR". [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_author(void);

// "This plugin can create sound effects for your voice." [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_description(void);

// ---- Life cycle -------------------------------------------------------------------------

// Keeps a copy of the client's whole function table; every later call into the client goes
// through it. A slot the client leaves null is never called: that call fails instead.
// funcs: passed by value; the reserved slots may be null and are never called.
// [main thread, at load]
WT_EXPORT void WT_CALL ts3plugin_setFunctionPointers(const struct HostFunctions funcs);

// Prints "PLUGIN: init" and the client's four paths (app, resources, config, plugin), each
// queried into a 512-byte buffer. Always returns 0 (success): the queries are not checked;
// a path the client leaves unwritten prints as empty text, and one the client leaves
// unterminated is cut at 511 bytes. Resets nothing.
// [any thread, after setFunctionPointers]
WT_EXPORT int WT_CALL ts3plugin_init(void);

// Prints "PLUGIN: shutdown" and releases the kept identifier, which becomes null (a
// command still using it on another thread keeps it until it is done). Nothing else is
// reset: the effect settings, the sample rings and the function table stay. A second
// shutdown prints again and releases nothing.
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_shutdown(void);

// Keeps a copy of the identifier the client assigns, replacing any earlier copy (released
// once no command on another thread still uses it), and prints
// "PLUGIN: registerPluginID: <copy>". If id is null or the copy cannot be made, the
// identifier becomes null and the line shows an empty text.
// id: Valid only during this call; copied if kept.
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_registerPluginID(const char* id);

// Releases a block the plugin handed over (menu list, menu records, menu icon name, hotkey
// list and records, info text) with the standard library's free. Null does nothing. Each
// block once, after it was handed over. [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_freeMemory(void* data);

// 0: the plugin does not ask to be loaded automatically. [any thread, any time]
WT_EXPORT int WT_CALL ts3plugin_requestAutoload(void);

// Prints "PLUGIN: offersConfigure" on every call; 0: no configuration dialog is offered.
// [any thread, any time]
WT_EXPORT int WT_CALL ts3plugin_offersConfigure(void);

// Prints "PLUGIN: configure". Neither pointer is read. [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_configure(void* handle, void* parentWidget);

// ---- Voice ------------------------------------------------------------------------------

// Rewrites the captured voice in place, one block (kBlockSize ring positions) late, and ORs
// the two edit flags (1 | 2) into *edited.
// samples: sampleCount frames of `channels` interleaved 16-bit samples. Valid only during
//   this call; copied if kept. Null, a count of 0 or less, or no channel leave buffer and
//   rings untouched.
// Channels 0..99 each have a ring column but share its positions, taking them in turn: all
// of one call's frames of channel 0, then those of channel 1, and so on. The push that
// fills the last position processes the column of the channel that made it. With one
// channel every sample comes back exactly kBlockSize samples late; the first kBlockSize
// after load are 0. Channels beyond 99 pass unchanged and take no ring positions.
// edited: the client's flags word; other bits are kept. Null is not written.
// A call that begins while another is still inside (a client capturing on two threads
// at once, against the tag below) neither waits nor touches the rings: it sets channels
// 0..99 of every frame to 0 (silence, never the unprocessed voice), leaves the channels
// beyond as they were, sets the edit flags and returns. Calls that do not overlap are
// unaffected by it.
// Allocates nothing, locks nothing, makes no system call.
// [audio thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onEditCapturedVoiceDataEvent(uint64_t serverConnectionHandlerID,
                                                              short* samples, int sampleCount,
                                                              int channels, int* edited);

// ---- Effect menu ------------------------------------------------------------------------

// Hands over the plugin's global menu: *menuItems receives a list of ten records and a
// null pointer (IDs 6..13 the effects and "No effect", 18 and 19 the strength steps),
// *menuIcon the icon name "t.png". Every call builds a fresh set.
// List, records and icon name: Owned by the host after return; released through
// ts3plugin_freeMemory. If any allocation fails, nothing is handed over: both receive null.
// Either out-pointer may be null; then nothing is built and the other receives null.
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_initMenus(struct PluginMenuItem*** menuItems, char** menuIcon);

// Prints the event and, for the global menu, selects an effect (IDs 6..13) or steps the
// strength by 0.5 within 0..1 (18 up, 19 down). Other types and IDs change nothing. The
// choice is global, not kept per server tab, and the voice path takes it up from its next
// block. Strength steps that arrive on several threads at once each count, as if made one
// after the other.
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onMenuItemEvent(uint64_t serverConnectionHandlerID, int type,
                                                 int menuItemID, uint64_t selectedItemID);

// ---- Chat command -----------------------------------------------------------------------

// The keyword of the plugin's chat command, "test". Owned by the plugin; lives as long as
// the library; never released by the host. [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_commandKeyword(void);

// Runs one chat command for tab H, the text after the keyword: echoes the whole text as
// "PLUGIN: process command: '<text>'", then parses at most its first 127 bytes, cut short
// of a character that would not fit whole. Returns 0 when its first word names a
// subcommand exactly, whatever that then reports; 1 otherwise.
// Registration and shutdown may run on other threads meanwhile: every request of one
// command carries the same identifier, whole, old or new.
// command: Valid only during this call; copied if kept. Null reads as the empty text.
// [any thread, after registerPluginID]
WT_EXPORT int WT_CALL ts3plugin_processCommand(uint64_t serverConnectionHandlerID,
                                               const char* command);

// ---- Connection report ------------------------------------------------------------------

// When tab H reaches status 4 (fully established), reports the client library version, the
// plugin's identity, the server's name and welcome message, the own client, the channels
// and every server connection handler, on the console and in the client log; every other
// status does nothing. A failed query ends the report with a log line; what was written
// stands. Every host text and ID list: Owned by the plugin; released with the host's
// freeMemory as soon as used.
// [any thread, after setFunctionPointers]
WT_EXPORT void WT_CALL ts3plugin_onConnectStatusChangeEvent(uint64_t serverConnectionHandlerID,
                                                            int newStatus,
                                                            unsigned int errorNumber);

// ---- Info panel and hotkeys -------------------------------------------------------------

// The title of the plugin's section of the info panel, "MOR-LEX Wacky Throats 1.0 info".
// Owned by the plugin; lives as long as the library; never released by the host.
// [any thread, any time]
WT_EXPORT const char* WT_CALL ts3plugin_infoTitle(void);

// Stores in *data a 128-byte text naming item `id` of `type` (0 server, 1 channel, 2
// client) on tab H: 'The nickname is [I]"<name>"[/I]', the name cut short at a character
// boundary so that the closing quote and tag stay. When there is none (a failed query or an unknown
// type, each of which prints why, or no memory), *data is left exactly as passed. *data: Owned by
// the host after return; released through ts3plugin_freeMemory. Null: the query still runs, nothing
// is made. The queried name: Owned by the plugin; released with the host's freeMemory as soon as
// used.
// [any thread, after setFunctionPointers]
WT_EXPORT void WT_CALL ts3plugin_infoData(uint64_t serverConnectionHandlerID, uint64_t id, int type,
                                          char** data);

// Hands over the hotkey list: three records ("keyword_1".."keyword_3") and a terminating
// null pointer in *hotkeys. Null hotkeys does nothing.
// List and records: Owned by the host after return; released through ts3plugin_freeMemory.
// When memory runs out the list ends early: a record that cannot be made ends it where it
// would have stood, and a list that cannot be made leaves *hotkeys null (no hotkeys).
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_initHotkeys(struct PluginHotkey*** hotkeys);

// Prints "PLUGIN: Hotkey event: <keyword>".
// keyword: Valid only during this call; copied if kept. [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onHotkeyEvent(const char* keyword);

// Does nothing: a recorded hotkey needs nothing from the plugin.
// keyword, key: Valid only during this call; copied if kept. [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onHotkeyRecordedEvent(const char* keyword, const char* key);

// ---- Event echoes -----------------------------------------------------------------------
// Each prints one console line about the event. Every text argument: Valid only during this
// call; copied if kept.

// Echoes the poke and answers it with the private message "Received your poke!", unless
// ffIgnored is not 0 or the poke came from the own client; a failed query or reply is
// logged. Returns 0 always: the poke is left to the client as well.
// [any thread, after setFunctionPointers]
WT_EXPORT int WT_CALL ts3plugin_onClientPokeEvent(uint64_t serverConnectionHandlerID,
                                                  uint16_t fromClientID, const char* pokerName,
                                                  const char* pokerUniqueIdentity,
                                                  const char* message, int ffIgnored);

// "--> <display name> starts talking" for status 1, "stops talking" for any other status;
// nothing when the display name query fails. [any thread, after setFunctionPointers]
WT_EXPORT void WT_CALL ts3plugin_onTalkStatusChangeEvent(uint64_t serverConnectionHandlerID,
                                                         int status, int isReceivedWhisper,
                                                         uint16_t clientID);

// Returns 0 always: the message is left to the client. [any thread, any time]
WT_EXPORT int WT_CALL ts3plugin_onTextMessageEvent(uint64_t serverConnectionHandlerID,
                                                   uint16_t targetMode, uint16_t toID,
                                                   uint16_t fromID, const char* fromName,
                                                   const char* fromUniqueIdentifier,
                                                   const char* message, int ffIgnored);

// Returns 1 when a return code came with the error (not null, even if empty), else 0.
// [any thread, any time]
WT_EXPORT int WT_CALL ts3plugin_onServerErrorEvent(uint64_t serverConnectionHandlerID,
                                                   const char* errorMessage, unsigned int error,
                                                   const char* returnCode,
                                                   const char* extraMessage);

// avatarPath: null when the avatar was deleted, and then echoed as "- deleted".
// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onAvatarUpdated(uint64_t serverConnectionHandlerID,
                                                 uint16_t clientID, const char* avatarPath);

// [any thread, any time]
WT_EXPORT void WT_CALL ts3plugin_onPluginCommandEvent(uint64_t serverConnectionHandlerID,
                                                      const char* pluginName,
                                                      const char* pluginCommand);

// Echoes the tab that became current next to the one the client names current now.
// [any thread, after setFunctionPointers]
WT_EXPORT void WT_CALL ts3plugin_currentServerConnectionChanged(uint64_t serverConnectionHandlerID);

// ---- Events without effect ----------------------------------------------------------------
// 81 events the interface requires and this plugin leaves alone. Each reads none of its
// arguments, changes nothing, calls nothing and returns at once; every buffer it is handed
// stays as it was. The client may call each with the parameter list of its own interface
// (the caller cleans the stack), so only the handler ID is declared where the event belongs
// to one connection, and the full list only where a buffer comes with it.
// [any thread, any time]
//
// The groups below list those taking (uint64_t serverConnectionHandlerID) and returning
// nothing; X(name) is applied to each entry point's full name.

// Returns 0: the error is not handled here.
WT_EXPORT int WT_CALL ts3plugin_onServerPermissionErrorEvent(uint64_t serverConnectionHandlerID);

#define WT_PERMISSION_EVENTS(X)                         \
    X(ts3plugin_onClientNeededPermissionsEvent)         \
    X(ts3plugin_onClientNeededPermissionsFinishedEvent) \
    X(ts3plugin_onPermissionListEvent)                  \
    X(ts3plugin_onPermissionListFinishedEvent)          \
    X(ts3plugin_onPermissionListGroupEndIDEvent)        \
    X(ts3plugin_onPermissionOverviewEvent)              \
    X(ts3plugin_onPermissionOverviewFinishedEvent)      \
    X(ts3plugin_onChannelClientPermListEvent)           \
    X(ts3plugin_onChannelClientPermListFinishedEvent)   \
    X(ts3plugin_onClientPermListEvent)                  \
    X(ts3plugin_onClientPermListFinishedEvent)          \
    X(ts3plugin_onChannelPermListEvent)                 \
    X(ts3plugin_onChannelPermListFinishedEvent)         \
    X(ts3plugin_onChannelGroupPermListEvent)            \
    X(ts3plugin_onChannelGroupPermListFinishedEvent)    \
    X(ts3plugin_onServerGroupPermListEvent)             \
    X(ts3plugin_onServerGroupPermListFinishedEvent)

#define WT_GROUP_EVENTS(X)                       \
    X(ts3plugin_onServerGroupListEvent)          \
    X(ts3plugin_onServerGroupListFinishedEvent)  \
    X(ts3plugin_onServerGroupByClientIDEvent)    \
    X(ts3plugin_onServerGroupClientListEvent)    \
    X(ts3plugin_onServerGroupClientAddedEvent)   \
    X(ts3plugin_onServerGroupClientDeletedEvent) \
    X(ts3plugin_onChannelGroupListEvent)         \
    X(ts3plugin_onChannelGroupListFinishedEvent) \
    X(ts3plugin_onClientChannelGroupChangedEvent)

#define WT_CHANNEL_EVENTS(X)                     \
    X(ts3plugin_onNewChannelEvent)               \
    X(ts3plugin_onNewChannelCreatedEvent)        \
    X(ts3plugin_onDelChannelEvent)               \
    X(ts3plugin_onChannelMoveEvent)              \
    X(ts3plugin_onUpdateChannelEvent)            \
    X(ts3plugin_onUpdateChannelEditedEvent)      \
    X(ts3plugin_onChannelDescriptionUpdateEvent) \
    X(ts3plugin_onChannelPasswordChangedEvent)   \
    X(ts3plugin_onChannelSubscribeEvent)         \
    X(ts3plugin_onChannelSubscribeFinishedEvent) \
    X(ts3plugin_onChannelUnsubscribeEvent)       \
    X(ts3plugin_onChannelUnsubscribeFinishedEvent)

#define WT_CLIENT_EVENTS(X)                      \
    X(ts3plugin_onUpdateClientEvent)             \
    X(ts3plugin_onClientMoveEvent)               \
    X(ts3plugin_onClientMoveSubscriptionEvent)   \
    X(ts3plugin_onClientMoveTimeoutEvent)        \
    X(ts3plugin_onClientMoveMovedEvent)          \
    X(ts3plugin_onClientKickFromChannelEvent)    \
    X(ts3plugin_onClientKickFromServerEvent)     \
    X(ts3plugin_onClientBanFromServerEvent)      \
    X(ts3plugin_onClientIDsEvent)                \
    X(ts3plugin_onClientIDsFinishedEvent)        \
    X(ts3plugin_onClientSelfVariableUpdateEvent) \
    X(ts3plugin_onClientChatComposingEvent)      \
    X(ts3plugin_onClientChatClosedEvent)

#define WT_CLIENT_LOOKUP_EVENTS(X)        \
    X(ts3plugin_onClientDBIDfromUIDEvent) \
    X(ts3plugin_onClientNamefromUIDEvent) \
    X(ts3plugin_onClientNamefromDBIDEvent)

// ts3plugin_onUserLoggingMessageEvent belongs here too; it takes no handler ID.
#define WT_SERVER_EVENTS(X)                            \
    X(ts3plugin_onServerEditedEvent)                   \
    X(ts3plugin_onServerUpdatedEvent)                  \
    X(ts3plugin_onServerStopEvent)                     \
    X(ts3plugin_onServerConnectionInfoEvent)           \
    X(ts3plugin_onConnectionInfoEvent)                 \
    X(ts3plugin_onServerTemporaryPasswordListEvent)    \
    X(ts3plugin_onServerLogEvent)                      \
    X(ts3plugin_onServerLogFinishedEvent)              \
    X(ts3plugin_onClientServerQueryLoginPasswordEvent) \
    X(ts3plugin_onIncomingClientQueryEvent)

// Bans, complaints, offline messages.
#define WT_LIST_EVENTS(X)            \
    X(ts3plugin_onBanListEvent)      \
    X(ts3plugin_onComplainListEvent) \
    X(ts3plugin_onMessageListEvent)  \
    X(ts3plugin_onMessageGetEvent)

#define WT_FILE_EVENTS(X)                \
    X(ts3plugin_onFileListEvent)         \
    X(ts3plugin_onFileListFinishedEvent) \
    X(ts3plugin_onFileInfoEvent)         \
    X(ts3plugin_onFileTransferStatusEvent)

// The rest of the sound events are declared in full below.
#define WT_SOUND_EVENTS(X) X(ts3plugin_onPlaybackShutdownCompleteEvent)

// Every event without effect that takes the handler ID alone.
#define WT_HANDLER_ONLY_EVENTS(X) \
    WT_PERMISSION_EVENTS(X)       \
    WT_GROUP_EVENTS(X)            \
    WT_CHANNEL_EVENTS(X)          \
    WT_CLIENT_EVENTS(X)           \
    WT_CLIENT_LOOKUP_EVENTS(X)    \
    WT_SERVER_EVENTS(X)           \
    WT_LIST_EVENTS(X)             \
    WT_FILE_EVENTS(X)             \
    WT_SOUND_EVENTS(X)

#define WT_DECLARE_HANDLER_ONLY_EVENT(name) \
    WT_EXPORT void WT_CALL name(uint64_t serverConnectionHandlerID);
WT_HANDLER_ONLY_EVENTS(WT_DECLARE_HANDLER_ONLY_EVENT)
#undef WT_DECLARE_HANDLER_ONLY_EVENT

// Neither belongs to one connection: a server event and a sound event.
WT_EXPORT void WT_CALL ts3plugin_onUserLoggingMessageEvent(void);
WT_EXPORT void WT_CALL ts3plugin_onSoundDeviceListChangedEvent(void);

// The voice of other clients and the mixed playback: played as received.
WT_EXPORT void WT_CALL ts3plugin_onEditPlaybackVoiceDataEvent(uint64_t serverConnectionHandlerID,
                                                              uint16_t clientID, short* samples,
                                                              int sampleCount, int channels);
WT_EXPORT void WT_CALL ts3plugin_onEditPostProcessVoiceDataEvent(
    uint64_t serverConnectionHandlerID, uint16_t clientID, short* samples, int sampleCount,
    int channels, const unsigned int* channelSpeakerArray, unsigned int* channelFillMask);
WT_EXPORT void WT_CALL ts3plugin_onEditMixedPlaybackVoiceDataEvent(
    uint64_t serverConnectionHandlerID, short* samples, int sampleCount, int channels,
    const unsigned int* channelSpeakerArray, unsigned int* channelFillMask);

// 3-D positioning: the volume the client computed stands.
WT_EXPORT void WT_CALL ts3plugin_onCustom3dRolloffCalculationClientEvent(
    uint64_t serverConnectionHandlerID, uint16_t clientID, float distance, float* volume);
WT_EXPORT void WT_CALL ts3plugin_onCustom3dRolloffCalculationWaveEvent(
    uint64_t serverConnectionHandlerID, uint64_t waveHandle, float distance, float* volume);

#pragma once

// The entry points through which the client drives the plugin, one contract each: what it
// does, who owns every pointer and for how long, what a null means, and in brackets the
// thread that calls it and the state that must hold. The entry points without effect are
// declared and documented where they are defined, in plugin/no_effect_events.cpp.
//
// Ownership wording used below:
//   "Valid only during this call; copied if kept."  (a pointer the client passes in)
//   "Owned by the host after return; released through ts3plugin_freeMemory."
//
// Every text is NUL-terminated UTF-8. H is a server connection handler ID.

#include <cstdint>

#include "host/host_functions.h"
#include "host/plugin_records.h"
#include "plugin/export.h"

// ---- Identity ---------------------------------------------------------------------------
// Each returns a pointer to text that lives as long as the library; neither side releases
// it, and every call of one load returns the same pointer. They depend on no other state,
// so the plugin itself may call them too.

// "MOR-LEX Wacky Throats 1.0", converted to UTF-8 from its wide form on the first call.
// [any thread, any time; two threads may ask at once]
WT_EXPORT const char* ts3plugin_name(void);

// The project's version, "1.2" (plugin/version.h, generated from CMake's VERSION; it
// names the release archives too). [any thread, any time]
WT_EXPORT const char* ts3plugin_version(void);

// The plugin interface version this library implements: 19. [any thread, any time]
WT_EXPORT int ts3plugin_apiVersion(void);

// "MOR-LEX Haldrup Computersoftware GbR". [any thread, any time]
WT_EXPORT const char* ts3plugin_author(void);

// "This plugin can create sound effects for your voice." [any thread, any time]
WT_EXPORT const char* ts3plugin_description(void);

// ---- Life cycle -------------------------------------------------------------------------

// Keeps a copy of the client's whole function table; every later call into the client goes
// through it. Nothing calls the client before this.
// funcs: passed by value; slots 30..208 may be null and are never called.
// [main thread, once after load, before ts3plugin_init]
WT_EXPORT void ts3plugin_setFunctionPointers(const struct HostFunctions funcs);

// Prints "PLUGIN: init" and the client's four paths. Always returns 0 (success); the path
// queries are not checked, and a path the client leaves unwritten prints as empty text.
// [main thread, after ts3plugin_setFunctionPointers]
WT_EXPORT int ts3plugin_init(void);

// Prints "PLUGIN: shutdown" and releases the kept plugin identifier, which becomes null.
// Nothing else is reset. A second shutdown prints again and releases nothing.
// [main thread, before unload]
WT_EXPORT void ts3plugin_shutdown(void);

// Keeps a copy of the identifier the client assigns, releasing any earlier copy, and
// prints it. If the copy cannot be made (or id is null) the identifier becomes null.
// id: Valid only during this call; copied if kept.
// [main thread, after ts3plugin_init]
WT_EXPORT void ts3plugin_registerPluginID(const char* id);

// Releases a block the plugin handed over (menu list, menu records, menu icon name, hotkey
// list and records, info text) with the standard library's free. Null does nothing.
// [main thread, any time after the block was handed over; once per block]
WT_EXPORT void ts3plugin_freeMemory(void* data);

// 0: the plugin does not ask to be loaded automatically. [main thread, any time]
WT_EXPORT int ts3plugin_requestAutoload(void);

// Prints "PLUGIN: offersConfigure"; 0: no configuration dialog is offered.
// [main thread, any time]
WT_EXPORT int ts3plugin_offersConfigure(void);

// Prints "PLUGIN: configure". Neither pointer is read. [main thread, any time]
WT_EXPORT void ts3plugin_configure(void* handle, void* parentWidget);

// ---- Voice ------------------------------------------------------------------------------

// Rewrites the captured voice in place, one block (1024 samples per channel) late, and ORs
// the two edit flags into *edited.
// samples: sampleCount frames of `channels` interleaved 16-bit samples. Valid only during
//   this call; copied if kept. Null does nothing.
// edited: the client's flags word; other bits are kept. Null is not written.
// Allocates nothing, locks nothing, makes no system call.
// [audio thread: the client's capture thread]
WT_EXPORT void ts3plugin_onEditCapturedVoiceDataEvent(uint64_t serverConnectionHandlerID,
                                                      short* samples, int sampleCount,
                                                      int channels, int* edited);

// ---- Effect menu ------------------------------------------------------------------------

// Hands over the plugin's global menu: *menuItems receives a list of ten records and a
// null pointer, *menuIcon the icon name "t.png". Every call builds a fresh set.
// List, records and icon name: Owned by the host after return; released through
// ts3plugin_freeMemory. If any allocation fails, nothing is handed over: both receive null.
// Either out-pointer may be null; then nothing is built.
// [main thread, after ts3plugin_init]
WT_EXPORT void ts3plugin_initMenus(struct PluginMenuItem*** menuItems, char** menuIcon);

// Prints the event and, for the global menu, selects an effect (IDs 6..13) or steps the
// strength by 0.5 within 0..1 (18 up, 19 down). Other types and IDs change nothing. The
// choice is global, not kept per server tab.
// [any client thread]
WT_EXPORT void ts3plugin_onMenuItemEvent(uint64_t serverConnectionHandlerID, int type,
                                         int menuItemID, uint64_t selectedItemID);

// ---- Chat command -----------------------------------------------------------------------

// The keyword of the plugin's chat command. Static; never released. [any thread, any time]
WT_EXPORT const char* ts3plugin_commandKeyword(void);

// Runs one chat command (the text after the keyword; at most its first 127 characters are
// read). Returns 0 when its first word names a subcommand, whatever that then reports;
// 1 otherwise. command: Valid only during this call; copied if kept. Null is not handled.
// [main thread, after ts3plugin_registerPluginID]
WT_EXPORT int ts3plugin_processCommand(uint64_t serverConnectionHandlerID, const char* command);

// ---- Connection report ------------------------------------------------------------------

// Reports an established connection on the console and in the client log.
// [any client thread, after ts3plugin_init]
WT_EXPORT void ts3plugin_onConnectStatusChangeEvent(uint64_t serverConnectionHandlerID,
                                                    int newStatus, unsigned int errorNumber);

// ---- Info panel and hotkeys -------------------------------------------------------------

// The title of the plugin's section of the info panel. Static; never released.
// [any thread, any time]
WT_EXPORT const char* ts3plugin_infoTitle(void);

// Stores the info text for the selected server, channel or client in *data; leaves *data
// as passed when there is none (failed query, unknown type, no memory).
// *data: Owned by the host after return; released through ts3plugin_freeMemory.
// [main thread, after ts3plugin_init]
WT_EXPORT void ts3plugin_infoData(uint64_t serverConnectionHandlerID, uint64_t id, int type,
                                  char** data);

// Hands over the hotkey list: records and a terminating null pointer in *hotkeys.
// List and records: Owned by the host after return; released through ts3plugin_freeMemory.
// [main thread, after ts3plugin_init]
WT_EXPORT void ts3plugin_initHotkeys(struct PluginHotkey*** hotkeys);

// keyword: Valid only during this call; copied if kept. [any client thread]
WT_EXPORT void ts3plugin_onHotkeyEvent(const char* keyword);

// keyword, key: Valid only during this call; copied if kept. [any client thread]
WT_EXPORT void ts3plugin_onHotkeyRecordedEvent(const char* keyword, const char* key);

// ---- Event echoes -----------------------------------------------------------------------
// Every text argument: Valid only during this call; copied if kept. [any client thread]

WT_EXPORT int ts3plugin_onClientPokeEvent(uint64_t serverConnectionHandlerID,
                                          uint16_t fromClientID, const char* pokerName,
                                          const char* pokerUniqueIdentity, const char* message,
                                          int ffIgnored);

WT_EXPORT void ts3plugin_onTalkStatusChangeEvent(uint64_t serverConnectionHandlerID, int status,
                                                 int isReceivedWhisper, uint16_t clientID);

WT_EXPORT int ts3plugin_onTextMessageEvent(uint64_t serverConnectionHandlerID,
                                           uint16_t targetMode, uint16_t toID, uint16_t fromID,
                                           const char* fromName,
                                           const char* fromUniqueIdentifier,
                                           const char* message, int ffIgnored);

WT_EXPORT int ts3plugin_onServerErrorEvent(uint64_t serverConnectionHandlerID,
                                           const char* errorMessage, unsigned int error,
                                           const char* returnCode, const char* extraMessage);

WT_EXPORT void ts3plugin_onAvatarUpdated(uint64_t serverConnectionHandlerID, uint16_t clientID,
                                         const char* avatarPath);

WT_EXPORT void ts3plugin_onPluginCommandEvent(uint64_t serverConnectionHandlerID,
                                              const char* pluginName,
                                              const char* pluginCommand);

WT_EXPORT void ts3plugin_currentServerConnectionChanged(uint64_t serverConnectionHandlerID);

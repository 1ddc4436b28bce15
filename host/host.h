#pragma once

// The thin wrapper through which every call into the client goes. Each function forwards
// to the slot of the same name in the table kept by install(). A call made before the
// table is installed, or to a slot the client left null, does not reach the client and
// reports kHostUnavailable (or handler ID 0), so bad input from the client cannot crash
// the plugin.

#include <cstddef>
#include <cstdint>

#include "host/host_functions.h"

namespace wt::host {

// Never a result the client gives: distinct from success (0) and from every code the
// plugin tests by value.
inline constexpr unsigned int kHostUnavailable = 0xFFFFFFFFu;

// Host result codes the plugin tests by value.
inline constexpr unsigned int kOk = 0;
inline constexpr unsigned int kNotConnected = 1794;  // 0x0702
inline constexpr unsigned int kNoAvatar = 1281;      // 0x0501

// Log severities and the one log channel the plugin writes to.
inline constexpr int kLogError = 1;
inline constexpr int kLogInfo = 4;
inline constexpr const char* kLogChannel = "Plugin";

// Variable flags.
inline constexpr int kServerName = 1;
inline constexpr int kServerWelcomeMessage = 2;
inline constexpr int kChannelName = 0;
inline constexpr int kClientNickname = 1;

// Size of every path buffer the plugin hands to the client, terminator included.
inline constexpr size_t kPathSize = 512;

// Copies the whole table. Called once, before any other call into the client.
void install(const HostFunctions& table);

unsigned int getAppPath(char* path, size_t maxLen);
unsigned int getResourcesPath(char* path, size_t maxLen);
unsigned int getConfigPath(char* path, size_t maxLen);
unsigned int getPluginPath(char* path, size_t maxLen);
unsigned int getClientLibVersion(char** result);
unsigned int freeMemory(void* pointer);
unsigned int logMessage(const char* message, int severity, const char* channel, uint64_t logID);
unsigned int getClientID(uint64_t handler, uint16_t* result);
unsigned int getClientSelfVariableAsString(uint64_t handler, int flag, char** result);
unsigned int getClientVariableAsString(uint64_t handler, uint16_t clientID, int flag,
                                       char** result);
unsigned int getClientDisplayName(uint64_t handler, uint16_t clientID, char* result,
                                  size_t maxLen);
unsigned int getChannelOfClient(uint64_t handler, uint16_t clientID, uint64_t* result);
unsigned int getChannelVariableAsString(uint64_t handler, uint64_t channelID, int flag,
                                        char** result);
unsigned int getChannelList(uint64_t handler, uint64_t** result);
unsigned int getServerConnectionHandlerList(uint64_t** result);
unsigned int getServerVariableAsString(uint64_t handler, int flag, char** result);
uint64_t getCurrentServerConnectionHandlerID();
unsigned int printMessageToCurrentTab(const char* message);
unsigned int createReturnCode(const char* pluginID, char* returnCode, size_t maxLen);
unsigned int requestClientMove(uint64_t handler, uint16_t clientID, uint64_t channelID,
                               const char* password, const char* returnCode);
unsigned int requestChannelSubscribe(uint64_t handler, const uint64_t* channelIDs,
                                     const char* returnCode);
unsigned int requestChannelUnsubscribe(uint64_t handler, const uint64_t* channelIDs,
                                       const char* returnCode);
unsigned int requestChannelSubscribeAll(uint64_t handler, const char* returnCode);
unsigned int requestChannelUnsubscribeAll(uint64_t handler, const char* returnCode);
unsigned int requestSendPrivateTextMsg(uint64_t handler, const char* message,
                                       uint16_t targetClientID, const char* returnCode);
unsigned int sendPluginCommand(uint64_t handler, const char* pluginID, const char* command,
                               int targetMode, const uint16_t* targetIDs,
                               const char* returnCode);
unsigned int getServerConnectInfo(uint64_t handler, char* host, uint16_t* port, char* password,
                                  size_t maxLen);
unsigned int getChannelConnectInfo(uint64_t handler, uint64_t channelID, char* path,
                                   char* password, size_t maxLen);
unsigned int getAvatar(uint64_t handler, uint16_t clientID, char* result, size_t maxLen);
unsigned int setPluginMenuEnabled(const char* pluginID, int menuID, int enabled);

// Logs `message` to the plugin's channel with the handler ID as log ID.
inline unsigned int log(const char* message, int severity, uint64_t handler) {
    return logMessage(message, severity, kLogChannel, handler);
}

}  // namespace wt::host

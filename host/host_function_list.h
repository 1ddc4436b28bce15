#pragma once

// The client's 30 host functions, written once: slot, result, name, parameters, and the
// parameter names again as the argument list that forwards them. Everything that names a
// host function is made from this list: the table (host/host_functions.h), the wrapper
// (host/host.h), and every host that fills a table (the test host, the fuzz host,
// wacky-render). A host function is added or changed here and nowhere else; a fake client
// that must answer it differently from its default then fails to compile until it does.
//
// X(slot, Result, name, (parameters), (arguments))
//
// The slot is the function's position in the client's table, counted in pointers: any slot
// below kHostFunctionSlots, in any order, with gaps; every slot not named here is reserved
// (null, never called). A client that lays out its table otherwise needs only other slot
// numbers here; host/host_functions.h checks at compile time that they are distinct and
// fit. H is a server connection handler ID.

#include <cstddef>
#include <cstdint>

// Pointers in the client's table, named slots and reserved slots together.
inline constexpr size_t kHostFunctionSlots = 209;

// clang-format off
#define WT_HOST_FUNCTIONS(X)                                                                  \
    X(0, unsigned int, getAppPath, (char* path, size_t maxLen), (path, maxLen))               \
    X(1, unsigned int, getResourcesPath, (char* path, size_t maxLen), (path, maxLen))         \
    X(2, unsigned int, getConfigPath, (char* path, size_t maxLen), (path, maxLen))            \
    X(3, unsigned int, getPluginPath, (char* path, size_t maxLen), (path, maxLen))            \
    X(4, unsigned int, getClientLibVersion, (char** result), (result))                        \
    X(5, unsigned int, freeMemory, (void* pointer), (pointer))                                \
    X(6, unsigned int, logMessage,                                                            \
      (const char* message, int severity, const char* channel, uint64_t logID),               \
      (message, severity, channel, logID))                                                    \
    X(7, unsigned int, getClientID, (uint64_t handler, uint16_t* result), (handler, result))  \
    X(8, unsigned int, getClientSelfVariableAsString,                                         \
      (uint64_t handler, int flag, char** result), (handler, flag, result))                   \
    X(9, unsigned int, getClientVariableAsString,                                             \
      (uint64_t handler, uint16_t clientID, int flag, char** result),                         \
      (handler, clientID, flag, result))                                                      \
    X(10, unsigned int, getClientDisplayName,                                                 \
      (uint64_t handler, uint16_t clientID, char* result, size_t maxLen),                     \
      (handler, clientID, result, maxLen))                                                    \
    X(11, unsigned int, getChannelOfClient,                                                   \
      (uint64_t handler, uint16_t clientID, uint64_t* result), (handler, clientID, result))    \
    X(12, unsigned int, getChannelVariableAsString,                                           \
      (uint64_t handler, uint64_t channelID, int flag, char** result),                        \
      (handler, channelID, flag, result))                                                     \
    X(13, unsigned int, getChannelList, (uint64_t handler, uint64_t** result),                \
      (handler, result))                                                                      \
    X(14, unsigned int, getServerConnectionHandlerList, (uint64_t** result), (result))        \
    X(15, unsigned int, getServerVariableAsString,                                            \
      (uint64_t handler, int flag, char** result), (handler, flag, result))                   \
    X(16, uint64_t, getCurrentServerConnectionHandlerID, (void), ())                          \
    X(17, unsigned int, printMessageToCurrentTab, (const char* message), (message))           \
    X(18, unsigned int, createReturnCode,                                                     \
      (const char* pluginID, char* returnCode, size_t maxLen), (pluginID, returnCode, maxLen)) \
    X(19, unsigned int, requestClientMove,                                                    \
      (uint64_t handler, uint16_t clientID, uint64_t channelID, const char* password,         \
       const char* returnCode),                                                               \
      (handler, clientID, channelID, password, returnCode))                                   \
    X(20, unsigned int, requestChannelSubscribe,                                              \
      (uint64_t handler, const uint64_t* channelIDs, const char* returnCode),                 \
      (handler, channelIDs, returnCode))                                                      \
    X(21, unsigned int, requestChannelUnsubscribe,                                            \
      (uint64_t handler, const uint64_t* channelIDs, const char* returnCode),                 \
      (handler, channelIDs, returnCode))                                                      \
    X(22, unsigned int, requestChannelSubscribeAll, (uint64_t handler, const char* returnCode), \
      (handler, returnCode))                                                                  \
    X(23, unsigned int, requestChannelUnsubscribeAll,                                         \
      (uint64_t handler, const char* returnCode), (handler, returnCode))                      \
    X(24, unsigned int, requestSendPrivateTextMsg,                                            \
      (uint64_t handler, const char* message, uint16_t targetClientID,                        \
       const char* returnCode),                                                               \
      (handler, message, targetClientID, returnCode))                                         \
    X(25, unsigned int, sendPluginCommand,                                                    \
      (uint64_t handler, const char* pluginID, const char* command, int targetMode,           \
       const uint16_t* targetIDs, const char* returnCode),                                    \
      (handler, pluginID, command, targetMode, targetIDs, returnCode))                        \
    X(26, unsigned int, getServerConnectInfo,                                                 \
      (uint64_t handler, char* host, uint16_t* port, char* password, size_t maxLen),          \
      (handler, host, port, password, maxLen))                                                \
    X(27, unsigned int, getChannelConnectInfo,                                                \
      (uint64_t handler, uint64_t channelID, char* path, char* password, size_t maxLen),      \
      (handler, channelID, path, password, maxLen))                                           \
    X(28, unsigned int, getAvatar,                                                            \
      (uint64_t handler, uint16_t clientID, char* result, size_t maxLen),                     \
      (handler, clientID, result, maxLen))                                                    \
    X(29, unsigned int, setPluginMenuEnabled, (const char* pluginID, int menuID, int enabled), \
      (pluginID, menuID, enabled))
// clang-format on

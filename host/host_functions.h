#pragma once

// The client's function table, laid out slot for slot as the client hands it over.
// Only fixed-width C types; no member may be reordered or resized.

#include <cstddef>
#include <cstdint>

extern "C" {

struct HostFunctions {
    unsigned int (*getAppPath)(char* path, size_t maxLen);                       // slot 0
    unsigned int (*getResourcesPath)(char* path, size_t maxLen);                 // slot 1
    unsigned int (*getConfigPath)(char* path, size_t maxLen);                    // slot 2
    unsigned int (*getPluginPath)(char* path, size_t maxLen);                    // slot 3
    unsigned int (*getClientLibVersion)(char** result);                          // slot 4
    unsigned int (*freeMemory)(void* pointer);                                   // slot 5
    unsigned int (*logMessage)(const char* message, int severity, const char* channel,
                               uint64_t logID);                                  // slot 6
    unsigned int (*getClientID)(uint64_t serverConnectionHandlerID, uint16_t* result);  // 7
    unsigned int (*getClientSelfVariableAsString)(uint64_t serverConnectionHandlerID, int flag,
                                                  char** result);                // slot 8
    unsigned int (*getClientVariableAsString)(uint64_t serverConnectionHandlerID,
                                              uint16_t clientID, int flag, char** result);  // 9
    unsigned int (*getClientDisplayName)(uint64_t serverConnectionHandlerID, uint16_t clientID,
                                         char* result, size_t maxLen);           // slot 10
    unsigned int (*getChannelOfClient)(uint64_t serverConnectionHandlerID, uint16_t clientID,
                                       uint64_t* result);                        // slot 11
    unsigned int (*getChannelVariableAsString)(uint64_t serverConnectionHandlerID,
                                               uint64_t channelID, int flag,
                                               char** result);                   // slot 12
    unsigned int (*getChannelList)(uint64_t serverConnectionHandlerID,
                                   uint64_t** result);                           // slot 13
    unsigned int (*getServerConnectionHandlerList)(uint64_t** result);           // slot 14
    unsigned int (*getServerVariableAsString)(uint64_t serverConnectionHandlerID, int flag,
                                              char** result);                    // slot 15
    uint64_t (*getCurrentServerConnectionHandlerID)(void);                       // slot 16
    unsigned int (*printMessageToCurrentTab)(const char* message);               // slot 17
    unsigned int (*createReturnCode)(const char* pluginID, char* returnCode,
                                     size_t maxLen);                             // slot 18
    unsigned int (*requestClientMove)(uint64_t serverConnectionHandlerID, uint16_t clientID,
                                      uint64_t channelID, const char* password,
                                      const char* returnCode);                   // slot 19
    unsigned int (*requestChannelSubscribe)(uint64_t serverConnectionHandlerID,
                                            const uint64_t* channelIDs,
                                            const char* returnCode);             // slot 20
    unsigned int (*requestChannelUnsubscribe)(uint64_t serverConnectionHandlerID,
                                              const uint64_t* channelIDs,
                                              const char* returnCode);           // slot 21
    unsigned int (*requestChannelSubscribeAll)(uint64_t serverConnectionHandlerID,
                                               const char* returnCode);          // slot 22
    unsigned int (*requestChannelUnsubscribeAll)(uint64_t serverConnectionHandlerID,
                                                 const char* returnCode);        // slot 23
    unsigned int (*requestSendPrivateTextMsg)(uint64_t serverConnectionHandlerID,
                                              const char* message, uint16_t targetClientID,
                                              const char* returnCode);           // slot 24
    unsigned int (*sendPluginCommand)(uint64_t serverConnectionHandlerID, const char* pluginID,
                                      const char* command, int targetMode,
                                      const uint16_t* targetIDs,
                                      const char* returnCode);                   // slot 25
    unsigned int (*getServerConnectInfo)(uint64_t serverConnectionHandlerID, char* host,
                                         uint16_t* port, char* password,
                                         size_t maxLen);                         // slot 26
    unsigned int (*getChannelConnectInfo)(uint64_t serverConnectionHandlerID, uint64_t channelID,
                                          char* path, char* password,
                                          size_t maxLen);                        // slot 27
    unsigned int (*getAvatar)(uint64_t serverConnectionHandlerID, uint16_t clientID,
                              char* result, size_t maxLen);                      // slot 28
    unsigned int (*setPluginMenuEnabled)(const char* pluginID, int menuID,
                                         int enabled);                           // slot 29
    void (*reserved[179])(void);  // slots 30..208: never called
};

}  // extern "C"

inline constexpr size_t kHostFunctionSlots = 209;
inline constexpr size_t kHostFunctionsUsed = 30;

static_assert(sizeof(void (*)(void)) == sizeof(void*));
static_assert(sizeof(HostFunctions) == kHostFunctionSlots * sizeof(void*));
static_assert(offsetof(HostFunctions, setPluginMenuEnabled) == 29 * sizeof(void*));
static_assert(offsetof(HostFunctions, reserved) == kHostFunctionsUsed * sizeof(void*));

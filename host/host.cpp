#include "host/host.h"

namespace wt::host {

namespace {

constinit HostFunctions table{};

// Forwards to one slot; a null slot (or no table yet) never reaches the client.
template <auto Slot, typename... Args>
unsigned int forward(Args... args) {
    const auto function = table.*Slot;
    return function != nullptr ? function(args...) : kHostUnavailable;
}

}  // namespace

void install(const HostFunctions& functions) { table = functions; }

unsigned int getAppPath(char* path, size_t maxLen) {
    return forward<&HostFunctions::getAppPath>(path, maxLen);
}

unsigned int getResourcesPath(char* path, size_t maxLen) {
    return forward<&HostFunctions::getResourcesPath>(path, maxLen);
}

unsigned int getConfigPath(char* path, size_t maxLen) {
    return forward<&HostFunctions::getConfigPath>(path, maxLen);
}

unsigned int getPluginPath(char* path, size_t maxLen) {
    return forward<&HostFunctions::getPluginPath>(path, maxLen);
}

unsigned int getClientLibVersion(char** result) {
    return forward<&HostFunctions::getClientLibVersion>(result);
}

unsigned int freeMemory(void* pointer) { return forward<&HostFunctions::freeMemory>(pointer); }

unsigned int logMessage(const char* message, int severity, const char* channel, uint64_t logID) {
    return forward<&HostFunctions::logMessage>(message, severity, channel, logID);
}

unsigned int getClientID(uint64_t handler, uint16_t* result) {
    return forward<&HostFunctions::getClientID>(handler, result);
}

unsigned int getClientSelfVariableAsString(uint64_t handler, int flag, char** result) {
    return forward<&HostFunctions::getClientSelfVariableAsString>(handler, flag, result);
}

unsigned int getClientVariableAsString(uint64_t handler, uint16_t clientID, int flag,
                                       char** result) {
    return forward<&HostFunctions::getClientVariableAsString>(handler, clientID, flag, result);
}

unsigned int getClientDisplayName(uint64_t handler, uint16_t clientID, char* result,
                                  size_t maxLen) {
    return forward<&HostFunctions::getClientDisplayName>(handler, clientID, result, maxLen);
}

unsigned int getChannelOfClient(uint64_t handler, uint16_t clientID, uint64_t* result) {
    return forward<&HostFunctions::getChannelOfClient>(handler, clientID, result);
}

unsigned int getChannelVariableAsString(uint64_t handler, uint64_t channelID, int flag,
                                        char** result) {
    return forward<&HostFunctions::getChannelVariableAsString>(handler, channelID, flag, result);
}

unsigned int getChannelList(uint64_t handler, uint64_t** result) {
    return forward<&HostFunctions::getChannelList>(handler, result);
}

unsigned int getServerConnectionHandlerList(uint64_t** result) {
    return forward<&HostFunctions::getServerConnectionHandlerList>(result);
}

unsigned int getServerVariableAsString(uint64_t handler, int flag, char** result) {
    return forward<&HostFunctions::getServerVariableAsString>(handler, flag, result);
}

uint64_t getCurrentServerConnectionHandlerID() {
    const auto function = table.getCurrentServerConnectionHandlerID;
    return function != nullptr ? function() : 0;
}

unsigned int printMessageToCurrentTab(const char* message) {
    return forward<&HostFunctions::printMessageToCurrentTab>(message);
}

unsigned int createReturnCode(const char* pluginID, char* returnCode, size_t maxLen) {
    return forward<&HostFunctions::createReturnCode>(pluginID, returnCode, maxLen);
}

unsigned int requestClientMove(uint64_t handler, uint16_t clientID, uint64_t channelID,
                               const char* password, const char* returnCode) {
    return forward<&HostFunctions::requestClientMove>(handler, clientID, channelID, password,
                                                      returnCode);
}

unsigned int requestChannelSubscribe(uint64_t handler, const uint64_t* channelIDs,
                                     const char* returnCode) {
    return forward<&HostFunctions::requestChannelSubscribe>(handler, channelIDs, returnCode);
}

unsigned int requestChannelUnsubscribe(uint64_t handler, const uint64_t* channelIDs,
                                       const char* returnCode) {
    return forward<&HostFunctions::requestChannelUnsubscribe>(handler, channelIDs, returnCode);
}

unsigned int requestChannelSubscribeAll(uint64_t handler, const char* returnCode) {
    return forward<&HostFunctions::requestChannelSubscribeAll>(handler, returnCode);
}

unsigned int requestChannelUnsubscribeAll(uint64_t handler, const char* returnCode) {
    return forward<&HostFunctions::requestChannelUnsubscribeAll>(handler, returnCode);
}

unsigned int requestSendPrivateTextMsg(uint64_t handler, const char* message,
                                       uint16_t targetClientID, const char* returnCode) {
    return forward<&HostFunctions::requestSendPrivateTextMsg>(handler, message, targetClientID,
                                                              returnCode);
}

unsigned int sendPluginCommand(uint64_t handler, const char* pluginID, const char* command,
                               int targetMode, const uint16_t* targetIDs,
                               const char* returnCode) {
    return forward<&HostFunctions::sendPluginCommand>(handler, pluginID, command, targetMode,
                                                      targetIDs, returnCode);
}

unsigned int getServerConnectInfo(uint64_t handler, char* host, uint16_t* port, char* password,
                                  size_t maxLen) {
    return forward<&HostFunctions::getServerConnectInfo>(handler, host, port, password, maxLen);
}

unsigned int getChannelConnectInfo(uint64_t handler, uint64_t channelID, char* path,
                                   char* password, size_t maxLen) {
    return forward<&HostFunctions::getChannelConnectInfo>(handler, channelID, path, password,
                                                          maxLen);
}

unsigned int getAvatar(uint64_t handler, uint16_t clientID, char* result, size_t maxLen) {
    return forward<&HostFunctions::getAvatar>(handler, clientID, result, maxLen);
}

unsigned int setPluginMenuEnabled(const char* pluginID, int menuID, int enabled) {
    return forward<&HostFunctions::setPluginMenuEnabled>(pluginID, menuID, enabled);
}

}  // namespace wt::host

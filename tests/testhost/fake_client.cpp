#include "tests/testhost/fake_client.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tests/testhost/test_host.h"

namespace wt::testhost {

namespace {

// Hosts attached and still alive, the last one current.
std::mutex registryMutex;
std::vector<TestHost*> attached;

// An ID array passed in is shown up to its 0 entry, but never read beyond this many.
constexpr size_t kMaxShownIds = 64;

using F = HostFunction;

std::string quote(const char* text) {
    if (text == nullptr) return "null";
    std::string quoted = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += *c;
        } else if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\t') {
            quoted += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        } else {
            quoted += *c;
        }
    }
    return quoted + "\"";
}

std::string buffer(const void* pointer) { return pointer != nullptr ? "buf" : "null"; }

std::string out(const void* pointer) { return pointer != nullptr ? "out" : "null"; }

template <typename Id>
std::string idArray(const Id* ids) {
    if (ids == nullptr) return "null";
    std::string shown = "[";
    for (size_t i = 0; ids[i] != 0; ++i) {
        if (i == kMaxShownIds) return shown + ", ...]";
        if (i > 0) shown += ", ";
        shown += std::to_string(ids[i]);
    }
    return shown + "]";
}

template <typename... Args>
std::string call(const char* name, const Args&... args) {
    std::string recorded = name;
    recorded += '(';
    bool first = true;
    [[maybe_unused]] auto append = [&](const std::string& argument) {
        if (!first) recorded += ", ";
        recorded += argument;
        first = false;
    };
    (append(args), ...);
    return recorded + ')';
}

std::string n(uint64_t value) { return std::to_string(value); }

std::string n(int value) { return std::to_string(value); }

// size_t on 32-bit targets (unused where size_t is uint64_t).
[[maybe_unused]] std::string n(unsigned value) { return std::to_string(value); }

// Copies `text` into a buffer of maxLen bytes, cut to fit with its terminator.
void writeText(char* destination, size_t maxLen, const std::string& text) {
    if (destination == nullptr || maxLen == 0) return;
    const size_t length = std::min(text.size(), maxLen - 1);
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

}  // namespace

// Friend of TestHost: every host function records its call, takes its scripted result,
// and writes only on success.
struct FakeClient {
    static TestHost* current() {
        std::lock_guard lock(registryMutex);
        return attached.empty() ? nullptr : attached.back();
    }

    // Records the call with the current host; null when no host is attached.
    static TestHost* begin(std::string recorded) {
        TestHost* host = current();
        if (host != nullptr) host->record(std::move(recorded));
        return host;
    }

    static constexpr unsigned int kNoHost = 1;

    // Writes the scripted text for `key` into a buffer of maxLen bytes.
    static unsigned int fillBuffer(TestHost* host, F function, std::optional<uint64_t> handler,
                                   std::optional<uint64_t> key, char* destination,
                                   size_t maxLen) {
        const unsigned int code = host->result(function, handler, key);
        if (code == 0) {
            if (auto text = host->text(function, key)) writeText(destination, maxLen, *text);
        }
        return code;
    }

    static unsigned int writePath(F function, char* path, size_t maxLen) {
        TestHost* host = begin(call(hostFunctionName(function), buffer(path), n(maxLen)));
        if (host == nullptr) return kNoHost;
        return fillBuffer(host, function, std::nullopt, std::nullopt, path, maxLen);
    }

    // Hands out a copy of the scripted text for `key` through *result.
    static unsigned int handOutText(TestHost* host, F function, std::optional<uint64_t> handler,
                                    std::optional<uint64_t> key, char** result) {
        const unsigned int code = host->result(function, handler, key);
        if (code == 0 && result != nullptr) {
            if (auto text = host->text(function, key)) {
                *result = static_cast<char*>(host->handOut(text->c_str(), text->size() + 1));
            }
        }
        return code;
    }

    static unsigned int handOutIds(TestHost* host, F function, std::optional<uint64_t> handler,
                                   uint64_t** result) {
        const unsigned int code = host->result(function, handler);
        if (code == 0 && result != nullptr) {
            if (auto ids = host->ids(function, handler)) {
                ids->push_back(0);
                *result = static_cast<uint64_t*>(
                    host->handOut(ids->data(), ids->size() * sizeof(uint64_t)));
            }
        }
        return code;
    }

    template <typename Number>
    static void writeNumber(TestHost* host, F function, std::optional<uint64_t> key,
                            Number* result) {
        if (result == nullptr) return;
        if (auto value = host->number(function, key)) *result = static_cast<Number>(*value);
    }

    // A request or message: records, returns the scripted result, writes nothing.
    static unsigned int plain(F function, std::optional<uint64_t> handler,
                              std::string recorded) {
        TestHost* host = begin(std::move(recorded));
        return host != nullptr ? host->result(function, handler) : kNoHost;
    }

    // ---- the 30 host functions, in slot order ----

    static unsigned int getAppPath(char* path, size_t maxLen) {
        return writePath(F::getAppPath, path, maxLen);
    }

    static unsigned int getResourcesPath(char* path, size_t maxLen) {
        return writePath(F::getResourcesPath, path, maxLen);
    }

    static unsigned int getConfigPath(char* path, size_t maxLen) {
        return writePath(F::getConfigPath, path, maxLen);
    }

    static unsigned int getPluginPath(char* path, size_t maxLen) {
        return writePath(F::getPluginPath, path, maxLen);
    }

    static unsigned int getClientLibVersion(char** result) {
        TestHost* host = begin(call("getClientLibVersion", out(result)));
        if (host == nullptr) return kNoHost;
        return handOutText(host, F::getClientLibVersion, std::nullopt, std::nullopt, result);
    }

    static unsigned int freeMemory(void* pointer) {
        TestHost* host = current();
        if (host == nullptr) return kNoHost;
        host->record(call("freeMemory", host->takeBack(pointer)));
        return host->result(F::freeMemory, std::nullopt);
    }

    static unsigned int logMessage(const char* message, int severity, const char* channel,
                                   uint64_t logID) {
        return plain(F::logMessage, std::nullopt,
                     call("logMessage", quote(message), n(severity), quote(channel), n(logID)));
    }

    static unsigned int getClientID(uint64_t handler, uint16_t* result) {
        TestHost* host = begin(call("getClientID", n(handler), out(result)));
        if (host == nullptr) return kNoHost;
        const unsigned int code = host->result(F::getClientID, handler);
        if (code == 0) writeNumber(host, F::getClientID, std::nullopt, result);
        return code;
    }

    static unsigned int getClientSelfVariableAsString(uint64_t handler, int flag,
                                                      char** result) {
        TestHost* host =
            begin(call("getClientSelfVariableAsString", n(handler), n(flag), out(result)));
        if (host == nullptr) return kNoHost;
        return handOutText(host, F::getClientSelfVariableAsString, handler,
                           static_cast<uint64_t>(flag), result);
    }

    static unsigned int getClientVariableAsString(uint64_t handler, uint16_t clientID, int flag,
                                                  char** result) {
        TestHost* host = begin(call("getClientVariableAsString", n(handler), n(clientID),
                                    n(flag), out(result)));
        if (host == nullptr) return kNoHost;
        return handOutText(host, F::getClientVariableAsString, handler, clientID, result);
    }

    static unsigned int getClientDisplayName(uint64_t handler, uint16_t clientID, char* result,
                                             size_t maxLen) {
        TestHost* host = begin(
            call("getClientDisplayName", n(handler), n(clientID), buffer(result), n(maxLen)));
        if (host == nullptr) return kNoHost;
        return fillBuffer(host, F::getClientDisplayName, handler, clientID, result, maxLen);
    }

    static unsigned int getChannelOfClient(uint64_t handler, uint16_t clientID,
                                           uint64_t* result) {
        TestHost* host = begin(call("getChannelOfClient", n(handler), n(clientID), out(result)));
        if (host == nullptr) return kNoHost;
        const unsigned int code = host->result(F::getChannelOfClient, handler, clientID);
        if (code == 0) writeNumber(host, F::getChannelOfClient, clientID, result);
        return code;
    }

    static unsigned int getChannelVariableAsString(uint64_t handler, uint64_t channelID, int flag,
                                                   char** result) {
        TestHost* host = begin(call("getChannelVariableAsString", n(handler), n(channelID),
                                    n(flag), out(result)));
        if (host == nullptr) return kNoHost;
        return handOutText(host, F::getChannelVariableAsString, handler, channelID, result);
    }

    static unsigned int getChannelList(uint64_t handler, uint64_t** result) {
        TestHost* host = begin(call("getChannelList", n(handler), out(result)));
        if (host == nullptr) return kNoHost;
        return handOutIds(host, F::getChannelList, handler, result);
    }

    static unsigned int getServerConnectionHandlerList(uint64_t** result) {
        TestHost* host = begin(call("getServerConnectionHandlerList", out(result)));
        if (host == nullptr) return kNoHost;
        return handOutIds(host, F::getServerConnectionHandlerList, std::nullopt, result);
    }

    static unsigned int getServerVariableAsString(uint64_t handler, int flag, char** result) {
        TestHost* host =
            begin(call("getServerVariableAsString", n(handler), n(flag), out(result)));
        if (host == nullptr) return kNoHost;
        return handOutText(host, F::getServerVariableAsString, handler,
                           static_cast<uint64_t>(flag), result);
    }

    static uint64_t getCurrentServerConnectionHandlerID() {
        TestHost* host = begin(call("getCurrentServerConnectionHandlerID"));
        if (host == nullptr) return 0;
        return host->number(F::getCurrentServerConnectionHandlerID, std::nullopt).value_or(0);
    }

    static unsigned int printMessageToCurrentTab(const char* message) {
        return plain(F::printMessageToCurrentTab, std::nullopt,
                     call("printMessageToCurrentTab", quote(message)));
    }

    static unsigned int createReturnCode(const char* pluginID, char* returnCode, size_t maxLen) {
        TestHost* host =
            begin(call("createReturnCode", quote(pluginID), buffer(returnCode), n(maxLen)));
        if (host == nullptr) return kNoHost;
        return fillBuffer(host, F::createReturnCode, std::nullopt, std::nullopt, returnCode,
                          maxLen);
    }

    static unsigned int requestClientMove(uint64_t handler, uint16_t clientID, uint64_t channelID,
                                          const char* password, const char* returnCode) {
        return plain(F::requestClientMove, handler,
                     call("requestClientMove", n(handler), n(clientID), n(channelID),
                          quote(password), quote(returnCode)));
    }

    static unsigned int requestChannelSubscribe(uint64_t handler, const uint64_t* channelIDs,
                                                const char* returnCode) {
        return plain(F::requestChannelSubscribe, handler,
                     call("requestChannelSubscribe", n(handler), idArray(channelIDs),
                          quote(returnCode)));
    }

    static unsigned int requestChannelUnsubscribe(uint64_t handler, const uint64_t* channelIDs,
                                                  const char* returnCode) {
        return plain(F::requestChannelUnsubscribe, handler,
                     call("requestChannelUnsubscribe", n(handler), idArray(channelIDs),
                          quote(returnCode)));
    }

    static unsigned int requestChannelSubscribeAll(uint64_t handler, const char* returnCode) {
        return plain(F::requestChannelSubscribeAll, handler,
                     call("requestChannelSubscribeAll", n(handler), quote(returnCode)));
    }

    static unsigned int requestChannelUnsubscribeAll(uint64_t handler, const char* returnCode) {
        return plain(F::requestChannelUnsubscribeAll, handler,
                     call("requestChannelUnsubscribeAll", n(handler), quote(returnCode)));
    }

    static unsigned int requestSendPrivateTextMsg(uint64_t handler, const char* message,
                                                  uint16_t targetClientID,
                                                  const char* returnCode) {
        return plain(F::requestSendPrivateTextMsg, handler,
                     call("requestSendPrivateTextMsg", n(handler), quote(message),
                          n(targetClientID), quote(returnCode)));
    }

    static unsigned int sendPluginCommand(uint64_t handler, const char* pluginID,
                                          const char* command, int targetMode,
                                          const uint16_t* targetIDs, const char* returnCode) {
        return plain(F::sendPluginCommand, handler,
                     call("sendPluginCommand", n(handler), quote(pluginID), quote(command),
                          n(targetMode), idArray(targetIDs), quote(returnCode)));
    }

    static unsigned int getServerConnectInfo(uint64_t handler, char* hostName, uint16_t* port,
                                             char* password, size_t maxLen) {
        TestHost* host = begin(call("getServerConnectInfo", n(handler), buffer(hostName),
                                    out(port), buffer(password), n(maxLen)));
        if (host == nullptr) return kNoHost;
        const unsigned int code = fillBuffer(host, F::getServerConnectInfo, handler,
                                             std::nullopt, hostName, maxLen);
        if (code == 0) writeNumber(host, F::getServerConnectInfo, std::nullopt, port);
        return code;
    }

    static unsigned int getChannelConnectInfo(uint64_t handler, uint64_t channelID, char* path,
                                              char* password, size_t maxLen) {
        TestHost* host = begin(call("getChannelConnectInfo", n(handler), n(channelID),
                                    buffer(path), buffer(password), n(maxLen)));
        if (host == nullptr) return kNoHost;
        return fillBuffer(host, F::getChannelConnectInfo, handler, channelID, path, maxLen);
    }

    static unsigned int getAvatar(uint64_t handler, uint16_t clientID, char* result,
                                  size_t maxLen) {
        TestHost* host =
            begin(call("getAvatar", n(handler), n(clientID), buffer(result), n(maxLen)));
        if (host == nullptr) return kNoHost;
        return fillBuffer(host, F::getAvatar, handler, clientID, result, maxLen);
    }

    static unsigned int setPluginMenuEnabled(const char* pluginID, int menuID, int enabled) {
        return plain(F::setPluginMenuEnabled, std::nullopt,
                     call("setPluginMenuEnabled", quote(pluginID), n(menuID), n(enabled)));
    }
};

HostFunctions fakeClientTable() {
    HostFunctions table{};
    table.getAppPath = &FakeClient::getAppPath;
    table.getResourcesPath = &FakeClient::getResourcesPath;
    table.getConfigPath = &FakeClient::getConfigPath;
    table.getPluginPath = &FakeClient::getPluginPath;
    table.getClientLibVersion = &FakeClient::getClientLibVersion;
    table.freeMemory = &FakeClient::freeMemory;
    table.logMessage = &FakeClient::logMessage;
    table.getClientID = &FakeClient::getClientID;
    table.getClientSelfVariableAsString = &FakeClient::getClientSelfVariableAsString;
    table.getClientVariableAsString = &FakeClient::getClientVariableAsString;
    table.getClientDisplayName = &FakeClient::getClientDisplayName;
    table.getChannelOfClient = &FakeClient::getChannelOfClient;
    table.getChannelVariableAsString = &FakeClient::getChannelVariableAsString;
    table.getChannelList = &FakeClient::getChannelList;
    table.getServerConnectionHandlerList = &FakeClient::getServerConnectionHandlerList;
    table.getServerVariableAsString = &FakeClient::getServerVariableAsString;
    table.getCurrentServerConnectionHandlerID = &FakeClient::getCurrentServerConnectionHandlerID;
    table.printMessageToCurrentTab = &FakeClient::printMessageToCurrentTab;
    table.createReturnCode = &FakeClient::createReturnCode;
    table.requestClientMove = &FakeClient::requestClientMove;
    table.requestChannelSubscribe = &FakeClient::requestChannelSubscribe;
    table.requestChannelUnsubscribe = &FakeClient::requestChannelUnsubscribe;
    table.requestChannelSubscribeAll = &FakeClient::requestChannelSubscribeAll;
    table.requestChannelUnsubscribeAll = &FakeClient::requestChannelUnsubscribeAll;
    table.requestSendPrivateTextMsg = &FakeClient::requestSendPrivateTextMsg;
    table.sendPluginCommand = &FakeClient::sendPluginCommand;
    table.getServerConnectInfo = &FakeClient::getServerConnectInfo;
    table.getChannelConnectInfo = &FakeClient::getChannelConnectInfo;
    table.getAvatar = &FakeClient::getAvatar;
    table.setPluginMenuEnabled = &FakeClient::setPluginMenuEnabled;
    return table;
}

void attachHost(TestHost* host) {
    std::lock_guard lock(registryMutex);
    attached.push_back(host);
}

void detachHost(TestHost* host) {
    std::lock_guard lock(registryMutex);
    attached.erase(std::remove(attached.begin(), attached.end(), host), attached.end());
}

const char* hostFunctionName(HostFunction function) {
    static constexpr const char* kNames[kHostFunctionCount] = {
        "getAppPath",
        "getResourcesPath",
        "getConfigPath",
        "getPluginPath",
        "getClientLibVersion",
        "freeMemory",
        "logMessage",
        "getClientID",
        "getClientSelfVariableAsString",
        "getClientVariableAsString",
        "getClientDisplayName",
        "getChannelOfClient",
        "getChannelVariableAsString",
        "getChannelList",
        "getServerConnectionHandlerList",
        "getServerVariableAsString",
        "getCurrentServerConnectionHandlerID",
        "printMessageToCurrentTab",
        "createReturnCode",
        "requestClientMove",
        "requestChannelSubscribe",
        "requestChannelUnsubscribe",
        "requestChannelSubscribeAll",
        "requestChannelUnsubscribeAll",
        "requestSendPrivateTextMsg",
        "sendPluginCommand",
        "getServerConnectInfo",
        "getChannelConnectInfo",
        "getAvatar",
        "setPluginMenuEnabled",
    };
    const int index = static_cast<int>(function);
    return index >= 0 && index < kHostFunctionCount ? kNames[index] : "?";
}

}  // namespace wt::testhost

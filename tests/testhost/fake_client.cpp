#include "tests/testhost/fake_client.h"

#include <algorithm>
#include <concepts>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
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

// How each argument is recorded, by its type: a text passed in quoted, a buffer the host
// writes into as buf, an out-pointer as out, an ID array passed in up to its 0 entry, a
// number in decimal.
std::string shown(const char* text) {
    return quote(text);
}

std::string shown(const std::string& alreadyShown) {
    return alreadyShown;
}

std::string shown(char* buffer) {
    return buffer != nullptr ? "buf" : "null";
}

template <typename Out>
std::string shown(Out* out) {
    return out != nullptr ? "out" : "null";
}

std::string shown(const uint64_t* ids) {
    return idArray(ids);
}

std::string shown(const uint16_t* ids) {
    return idArray(ids);
}

template <std::integral Number>
std::string shown(Number value) {
    return std::to_string(value);
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
    (append(shown(args)), ...);
    return recorded + ')';
}

// The handler ID a call is for: its first argument, when that is one.
template <typename First, typename... Rest>
std::optional<uint64_t> handlerOf(First first, Rest...) {
    if constexpr (std::is_same_v<First, uint64_t>) {
        return first;
    } else {
        return std::nullopt;
    }
}

[[maybe_unused]] std::optional<uint64_t> handlerOf() {
    return std::nullopt;
}

// size_t on 32-bit targets (unused where size_t is uint64_t).
[[maybe_unused]] std::string n(unsigned value) {
    return std::to_string(value);
}

// Copies `text` into a buffer of maxLen bytes with its terminator; a text too long for
// that fills the whole buffer and goes without one, as a client may leave it.
void writeText(char* destination, size_t maxLen, const std::string& text) {
    if (destination == nullptr || maxLen == 0) return;
    const size_t length = std::min(text.size(), maxLen);
    std::memcpy(destination, text.data(), length);
    if (length < maxLen) destination[length] = '\0';
}

}  // namespace

// Friend of TestHost. A host function records its call and answers with its scripted
// result; Answer<f> says how f differs (writes on success, keys, its own record).
struct FakeClient {
    static TestHost* current() {
        std::lock_guard lock(registryMutex);
        return attached.empty() ? nullptr : attached.back();
    }

    // The answer when no host is attached: a failure, or no connection.
    template <typename Result>
    static Result noHost() {
        if constexpr (std::is_same_v<Result, uint64_t>) {
            return 0;
        } else {
            return 1;
        }
    }

    // Runs the hook the current host has for `function`, outside every lock.
    static void runHook(F function) {
        TestHost* host = current();
        if (host == nullptr) return;
        if (const auto hook = host->hook(function)) hook();
    }

    // A request or message: the scripted result for its handler ID, nothing written. The
    // functions that answer more specialise it below.
    template <F function>
    struct Answer {
        template <typename... Args>
        static unsigned int call(TestHost& host, Args... args) {
            return host.result(function, handlerOf(args...));
        }
    };

    // Writes the scripted text for `key` into a buffer of maxLen bytes.
    static unsigned int fillBuffer(TestHost& host, F function, std::optional<uint64_t> handler,
                                   std::optional<uint64_t> key, char* destination, size_t maxLen) {
        const unsigned int code = host.result(function, handler, key);
        if (code == 0) {
            if (auto text = host.text(function, key)) writeText(destination, maxLen, *text);
        }
        return code;
    }

    // Hands out a copy of the scripted text for `key` through *result.
    static unsigned int handOutText(TestHost& host, F function, std::optional<uint64_t> handler,
                                    std::optional<uint64_t> key, char** result) {
        const unsigned int code = host.result(function, handler, key);
        if (code == 0 && result != nullptr) {
            if (auto text = host.text(function, key)) {
                *result = static_cast<char*>(host.ledger_.handOut(text->c_str(), text->size() + 1));
            }
        }
        return code;
    }

    static unsigned int handOutIds(TestHost& host, F function, std::optional<uint64_t> handler,
                                   uint64_t** result) {
        const unsigned int code = host.result(function, handler);
        if (code == 0 && result != nullptr) {
            if (auto ids = host.ids(function, handler)) {
                ids->push_back(0);
                *result = static_cast<uint64_t*>(
                    host.ledger_.handOut(ids->data(), ids->size() * sizeof(uint64_t)));
            }
        }
        return code;
    }

    template <typename Number>
    static void writeNumber(TestHost& host, F function, std::optional<uint64_t> key,
                            Number* result) {
        if (result == nullptr) return;
        if (auto value = host.number(function, key)) *result = static_cast<Number>(*value);
    }

    static void record(TestHost& host, std::string recorded) { host.record(std::move(recorded)); }

    static std::string takeBack(TestHost& host, void* pointer) { return host.takeBack(pointer); }

    static unsigned int result(TestHost& host, F function) {
        return host.result(function, std::nullopt);
    }
};

// ---- the host functions that answer more than a result code ----

// The path queries: the scripted text, no handler, no key.
template <F function>

requires(function >= F::getAppPath &&
         function <= F::getPluginPath) struct FakeClient::Answer<function> {
    static unsigned int call(TestHost& host, char* path, size_t maxLen) {
        return fillBuffer(host, function, std::nullopt, std::nullopt, path, maxLen);
    }
};

template <>
struct FakeClient::Answer<F::getClientLibVersion> {
    static unsigned int call(TestHost& host, char** result) {
        return handOutText(host, F::getClientLibVersion, std::nullopt, std::nullopt, result);
    }
};

// Recorded once the pointer is known to be a block, null or foreign.
template <>
struct FakeClient::Answer<F::freeMemory> {
    static unsigned int call(TestHost& host, void* pointer) {
        record(host, ::wt::testhost::call("freeMemory", takeBack(host, pointer)));
        return result(host, F::freeMemory);
    }
};

template <>
struct FakeClient::Answer<F::getClientID> {
    static unsigned int call(TestHost& host, uint64_t handler, uint16_t* result) {
        const unsigned int code = host.result(F::getClientID, handler);
        if (code == 0) writeNumber(host, F::getClientID, std::nullopt, result);
        return code;
    }
};

template <>
struct FakeClient::Answer<F::getClientSelfVariableAsString> {
    static unsigned int call(TestHost& host, uint64_t handler, int flag, char** result) {
        return handOutText(host, F::getClientSelfVariableAsString, handler,
                           static_cast<uint64_t>(flag), result);
    }
};

template <>
struct FakeClient::Answer<F::getClientVariableAsString> {
    static unsigned int call(TestHost& host, uint64_t handler, uint16_t clientID, int,
                             char** result) {
        return handOutText(host, F::getClientVariableAsString, handler, clientID, result);
    }
};

template <>
struct FakeClient::Answer<F::getClientDisplayName> {
    static unsigned int call(TestHost& host, uint64_t handler, uint16_t clientID, char* result,
                             size_t maxLen) {
        return fillBuffer(host, F::getClientDisplayName, handler, clientID, result, maxLen);
    }
};

template <>
struct FakeClient::Answer<F::getChannelOfClient> {
    static unsigned int call(TestHost& host, uint64_t handler, uint16_t clientID,
                             uint64_t* result) {
        const unsigned int code = host.result(F::getChannelOfClient, handler, clientID);
        if (code == 0) writeNumber(host, F::getChannelOfClient, clientID, result);
        return code;
    }
};

template <>
struct FakeClient::Answer<F::getChannelVariableAsString> {
    static unsigned int call(TestHost& host, uint64_t handler, uint64_t channelID, int,
                             char** result) {
        return handOutText(host, F::getChannelVariableAsString, handler, channelID, result);
    }
};

template <>
struct FakeClient::Answer<F::getChannelList> {
    static unsigned int call(TestHost& host, uint64_t handler, uint64_t** result) {
        return handOutIds(host, F::getChannelList, handler, result);
    }
};

template <>
struct FakeClient::Answer<F::getServerConnectionHandlerList> {
    static unsigned int call(TestHost& host, uint64_t** result) {
        return handOutIds(host, F::getServerConnectionHandlerList, std::nullopt, result);
    }
};

template <>
struct FakeClient::Answer<F::getServerVariableAsString> {
    static unsigned int call(TestHost& host, uint64_t handler, int flag, char** result) {
        return handOutText(host, F::getServerVariableAsString, handler, static_cast<uint64_t>(flag),
                           result);
    }
};

template <>
struct FakeClient::Answer<F::getCurrentServerConnectionHandlerID> {
    static uint64_t call(TestHost& host) {
        return host.number(F::getCurrentServerConnectionHandlerID, std::nullopt).value_or(0);
    }
};

template <>
struct FakeClient::Answer<F::createReturnCode> {
    static unsigned int call(TestHost& host, const char*, char* returnCode, size_t maxLen) {
        return fillBuffer(host, F::createReturnCode, std::nullopt, std::nullopt, returnCode,
                          maxLen);
    }
};

template <>
struct FakeClient::Answer<F::getServerConnectInfo> {
    static unsigned int call(TestHost& host, uint64_t handler, char* hostName, uint16_t* port,
                             char*, size_t maxLen) {
        const unsigned int code =
            fillBuffer(host, F::getServerConnectInfo, handler, std::nullopt, hostName, maxLen);
        if (code == 0) writeNumber(host, F::getServerConnectInfo, std::nullopt, port);
        return code;
    }
};

template <>
struct FakeClient::Answer<F::getChannelConnectInfo> {
    static unsigned int call(TestHost& host, uint64_t handler, uint64_t channelID, char* path,
                             char*, size_t maxLen) {
        return fillBuffer(host, F::getChannelConnectInfo, handler, channelID, path, maxLen);
    }
};

template <>
struct FakeClient::Answer<F::getAvatar> {
    static unsigned int call(TestHost& host, uint64_t handler, uint16_t clientID, char* result,
                             size_t maxLen) {
        return fillBuffer(host, F::getAvatar, handler, clientID, result, maxLen);
    }
};

namespace {

// A host function as the table holds it: the test's hook first, then the call recorded
// with the current host, then its answer.
template <F function, typename Slot>
struct Relay;

template <F function, typename Result, typename... Args>
struct Relay<function, Result(WT_CALL*)(Args...)> {
    static Result WT_CALL call(Args... args) {
        FakeClient::runHook(function);
        TestHost* host = FakeClient::current();
        if (host == nullptr) return FakeClient::noHost<Result>();
        // freeMemory records itself, once it knows what it was given back.
        if constexpr (function != F::freeMemory) {
            FakeClient::record(*host, ::wt::testhost::call(hostFunctionName(function), args...));
        }
        return FakeClient::Answer<function>::call(*host, args...);
    }
};

}  // namespace

HostFunctions fakeClientTable() {
    HostFunctions table{};
#define WT_FAKE_SLOT(slot, Result, name, parameters, arguments) \
    table.set<F::name>(&Relay<F::name, HostFunctionPointer<F::name>>::call);
    WT_HOST_FUNCTIONS(WT_FAKE_SLOT)
#undef WT_FAKE_SLOT
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
#define WT_HOST_NAME(slot, Result, name, parameters, arguments) #name,
        WT_HOST_FUNCTIONS(WT_HOST_NAME)
#undef WT_HOST_NAME
    };
    const int index = static_cast<int>(function);
    return index >= 0 && index < kHostFunctionCount ? kNames[index] : "?";
}

}  // namespace wt::testhost

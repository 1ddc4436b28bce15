#include "fuzz/fuzz_host.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/entry_points.h"
#include "tools/host_core/block_ledger.h"

namespace wt::fuzz {

namespace {

// The input of the run in progress; null outside a run.
FuzzedDataProvider* input = nullptr;

// Texts and ID lists handed out and not yet given back.
hostcore::BlockLedger ledger;

constexpr unsigned int kOutsideRun = 1;

// Host texts reach a few kilobytes (welcome messages, long names); ID lists a few
// hundred entries.
constexpr size_t kMaxHostText = 3000;
constexpr size_t kMaxIds = 400;

// An address no allocation has: a failed query may leave it in an out-pointer, and the
// plugin must neither read nor release it.
char* const kJunkPointer = reinterpret_cast<char*>(uintptr_t{0x10});

// Filler for texts longer than the input: a, é, €, and a four-byte character, so a cut
// at any length may fall inside a character.
constexpr char kFiller[] = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";
constexpr size_t kFillerLength = sizeof kFiller - 1;

unsigned int consumeResult() {
    const uint8_t pick = input->ConsumeIntegral<uint8_t>();
    if (pick < 160) return 0;  // an exhausted input answers success
    if (pick < 190) return 1794;
    if (pick < 205) return 1281;
    if (pick < 225) return 1;
    return input->ConsumeIntegral<unsigned int>();
}

// Reads a text the plugin passes in to its end.
void checkText(const char* text, bool required, const char* what) {
    if (text == nullptr) {
        if (required) fail(what);
        return;
    }
    volatile size_t length = std::strlen(text);
    (void)length;
}

template <typename Id>
void checkIdList(const Id* ids, bool required, const char* what) {
    if (ids == nullptr) {
        if (required) fail(what);
        return;
    }
    volatile size_t count = 0;
    while (ids[count] != 0) count = count + 1;
}

template <typename Out>
void checkOut(Out* out, const char* what) {
    if (out == nullptr) fail(what);
}

void* handOut(const void* data, size_t size) {
    void* block = ledger.handOut(data, size);
    if (block == nullptr) fail("out of memory");
    return block;
}

// Fills (or not) a buffer of `size` bytes the plugin lent, the way some client might.
void fillBuffer(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) fail("a buffer without room");
    switch (input->ConsumeIntegral<uint8_t>() % 4) {
        case 0:  // left as it was
            break;
        case 1: {  // a text, the rest of the buffer cleared
            const std::string text = consumeText(*input, size - 1);
            std::memset(buffer, 0, size);
            std::memcpy(buffer, text.data(), text.size());
            break;
        }
        case 2: {  // every byte written, no terminator
            const std::string text = consumeText(*input, size);
            for (size_t i = 0; i < size; ++i)
                buffer[i] = i < text.size() ? text[i] : kFiller[i % kFillerLength];
            break;
        }
        default: {  // a text and its terminator, nothing more
            const std::string text = consumeText(*input, size - 1);
            std::memcpy(buffer, text.data(), text.size());
            buffer[text.size()] = '\0';
            break;
        }
    }
}

template <typename Number>
void writeNumber(Number* out) {
    if (input->ConsumeBool()) *out = input->ConsumeIntegral<Number>();
}

unsigned int answerText(char** result) {
    checkOut(result, "a text query without an out-pointer");
    const unsigned int code = consumeResult();
    const uint8_t how = input->ConsumeIntegral<uint8_t>() % 8;
    if (code != 0) {
        if (how == 0) *result = kJunkPointer;
        return code;
    }
    if (how == 1) return code;  // success, nothing written
    if (how == 2) {
        *result = nullptr;
        return code;
    }
    const std::string text = consumeText(*input, kMaxHostText);
    *result = static_cast<char*>(handOut(text.c_str(), text.size() + 1));
    return code;
}

uint64_t consumeId() {
    switch (input->ConsumeIntegral<uint8_t>() % 3) {
        case 0:
            return input->ConsumeIntegralInRange<uint64_t>(1, 200);
        case 1:  // zero low half: not the end of the list
            return uint64_t{input->ConsumeIntegral<uint32_t>() | 1u} << 32;
        default:
            return input->ConsumeIntegral<uint64_t>();  // 0 ends the list early
    }
}

unsigned int answerIds(uint64_t** result) {
    checkOut(result, "an ID list query without an out-pointer");
    const unsigned int code = consumeResult();
    const uint8_t how = input->ConsumeIntegral<uint8_t>() % 8;
    if (code != 0) {
        if (how == 0) *result = reinterpret_cast<uint64_t*>(kJunkPointer);
        return code;
    }
    if (how == 1) return code;
    if (how == 2) {
        *result = nullptr;
        return code;
    }
    std::vector<uint64_t> ids(input->ConsumeIntegralInRange<size_t>(0, kMaxIds));
    for (uint64_t& id : ids) id = consumeId();
    ids.push_back(0);
    *result = static_cast<uint64_t*>(handOut(ids.data(), ids.size() * sizeof(uint64_t)));
    return code;
}

// ---- the 30 host functions, in list order ----

// A buffer query without a key: a result and the buffer filled, or not.
unsigned int getPath(char* path, size_t maxLen) {
    if (input == nullptr) return kOutsideRun;
    const unsigned int code = consumeResult();
    fillBuffer(path, maxLen);
    return code;
}

unsigned int getAppPath(char* path, size_t maxLen) {
    return getPath(path, maxLen);
}

unsigned int getResourcesPath(char* path, size_t maxLen) {
    return getPath(path, maxLen);
}

unsigned int getConfigPath(char* path, size_t maxLen) {
    return getPath(path, maxLen);
}

unsigned int getPluginPath(char* path, size_t maxLen) {
    return getPath(path, maxLen);
}

unsigned int getClientLibVersion(char** result) {
    return input != nullptr ? answerText(result) : kOutsideRun;
}

unsigned int freeMemory(void* pointer) {
    if (ledger.giveBack(pointer).kind == hostcore::GivenBack::Unknown)
        fail("freeMemory of a block the host did not hand out");
    return 0;
}

unsigned int logMessage(const char* message, int /*severity*/, const char* channel,
                        uint64_t /*logID*/) {
    checkText(message, true, "logMessage without a message");
    checkText(channel, true, "logMessage without a channel");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int getClientID(uint64_t /*handler*/, uint16_t* result) {
    checkOut(result, "getClientID without an out-pointer");
    if (input == nullptr) return kOutsideRun;
    const unsigned int code = consumeResult();
    writeNumber(result);
    return code;
}

unsigned int getClientSelfVariableAsString(uint64_t /*handler*/, int /*flag*/, char** result) {
    return input != nullptr ? answerText(result) : kOutsideRun;
}

unsigned int getClientVariableAsString(uint64_t /*handler*/, uint16_t /*clientID*/, int /*flag*/,
                                       char** result) {
    return input != nullptr ? answerText(result) : kOutsideRun;
}

unsigned int getClientDisplayName(uint64_t /*handler*/, uint16_t /*clientID*/, char* result,
                                  size_t maxLen) {
    return getPath(result, maxLen);
}

unsigned int getChannelOfClient(uint64_t /*handler*/, uint16_t /*clientID*/, uint64_t* result) {
    checkOut(result, "getChannelOfClient without an out-pointer");
    if (input == nullptr) return kOutsideRun;
    const unsigned int code = consumeResult();
    writeNumber(result);
    return code;
}

unsigned int getChannelVariableAsString(uint64_t /*handler*/, uint64_t /*channelID*/, int /*flag*/,
                                        char** result) {
    return input != nullptr ? answerText(result) : kOutsideRun;
}

unsigned int getChannelList(uint64_t /*handler*/, uint64_t** result) {
    return input != nullptr ? answerIds(result) : kOutsideRun;
}

unsigned int getServerConnectionHandlerList(uint64_t** result) {
    return input != nullptr ? answerIds(result) : kOutsideRun;
}

unsigned int getServerVariableAsString(uint64_t /*handler*/, int /*flag*/, char** result) {
    return input != nullptr ? answerText(result) : kOutsideRun;
}

uint64_t getCurrentServerConnectionHandlerID() {
    return input != nullptr ? input->ConsumeIntegral<uint64_t>() : 0;
}

unsigned int printMessageToCurrentTab(const char* message) {
    checkText(message, true, "printMessageToCurrentTab without a message");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int createReturnCode(const char* pluginID, char* returnCode, size_t maxLen) {
    checkText(pluginID, true, "createReturnCode without a plugin ID");
    return getPath(returnCode, maxLen);
}

unsigned int requestClientMove(uint64_t /*handler*/, uint16_t /*clientID*/, uint64_t /*channelID*/,
                               const char* password, const char* returnCode) {
    checkText(password, true, "requestClientMove without a password");
    checkText(returnCode, true, "requestClientMove without a return code");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int requestChannelSubscription(const uint64_t* channelIDs, const char* returnCode) {
    checkIdList(channelIDs, true, "a channel request without a channel list");
    checkText(returnCode, true, "a channel request without a return code");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int requestChannelSubscribe(uint64_t /*handler*/, const uint64_t* channelIDs,
                                     const char* returnCode) {
    return requestChannelSubscription(channelIDs, returnCode);
}

unsigned int requestChannelUnsubscribe(uint64_t /*handler*/, const uint64_t* channelIDs,
                                       const char* returnCode) {
    return requestChannelSubscription(channelIDs, returnCode);
}

unsigned int requestChannelSubscribeAll(uint64_t /*handler*/, const char* returnCode) {
    checkText(returnCode, true, "requestChannelSubscribeAll without a return code");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int requestChannelUnsubscribeAll(uint64_t /*handler*/, const char* returnCode) {
    checkText(returnCode, true, "requestChannelUnsubscribeAll without a return code");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int requestSendPrivateTextMsg(uint64_t /*handler*/, const char* message,
                                       uint16_t /*targetClientID*/, const char* returnCode) {
    checkText(message, true, "requestSendPrivateTextMsg without a message");
    checkText(returnCode, false, "");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int sendPluginCommand(uint64_t /*handler*/, const char* pluginID, const char* command,
                               int /*targetMode*/, const uint16_t* targetIDs,
                               const char* returnCode) {
    checkText(pluginID, true, "sendPluginCommand without a plugin ID");
    checkText(command, true, "sendPluginCommand without a command");
    checkIdList(targetIDs, false, "");
    checkText(returnCode, false, "");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

unsigned int getServerConnectInfo(uint64_t /*handler*/, char* hostName, uint16_t* port,
                                  char* password, size_t maxLen) {
    checkOut(port, "getServerConnectInfo without a port out-pointer");
    if (input == nullptr) return kOutsideRun;
    const unsigned int code = consumeResult();
    fillBuffer(hostName, maxLen);
    if (password != nullptr) fillBuffer(password, maxLen);
    writeNumber(port);
    return code;
}

unsigned int getChannelConnectInfo(uint64_t /*handler*/, uint64_t /*channelID*/, char* path,
                                   char* password, size_t maxLen) {
    if (input == nullptr) return kOutsideRun;
    const unsigned int code = consumeResult();
    fillBuffer(path, maxLen);
    if (password != nullptr) fillBuffer(password, maxLen);
    return code;
}

unsigned int getAvatar(uint64_t /*handler*/, uint16_t /*clientID*/, char* result, size_t maxLen) {
    return getPath(result, maxLen);
}

unsigned int setPluginMenuEnabled(const char* pluginID, int /*menuID*/, int /*enabled*/) {
    checkText(pluginID, true, "setPluginMenuEnabled without a plugin ID");
    return input != nullptr ? consumeResult() : kOutsideRun;
}

}  // namespace

HostFunctions hostTable() {
    HostFunctions table{};
#define WT_FUZZ_SLOT(slot, Result, name, parameters, arguments) table.set<HostFunction::name>(name);
    WT_HOST_FUNCTIONS(WT_FUZZ_SLOT)
#undef WT_FUZZ_SLOT
    return table;
}

void beginInput(FuzzedDataProvider& data) {
    static const bool installed = [] {
        ts3plugin_setFunctionPointers(hostTable());
        return true;
    }();
    (void)installed;
    if (ledger.outstanding() != 0) fail("host blocks outstanding before the run");
    input = &data;
}

void endInput() {
    input = nullptr;
    if (ledger.outstanding() != 0)
        fail("a host text or ID list was not given back through freeMemory");
}

std::string consumeText(FuzzedDataProvider& data, size_t maxLength) {
    const size_t length = data.ConsumeIntegralInRange<size_t>(0, maxLength);
    std::string text = data.ConsumeBytesAsString(length);
    for (char& c : text) {
        if (c == '\0') c = ' ';
    }
    for (size_t i = text.size(); i < length; ++i) text += kFiller[i % kFillerLength];
    return text;
}

void fail(const char* what) {
    std::fprintf(stderr, "fuzz host: %s\n", what);
    std::abort();
}

}  // namespace wt::fuzz

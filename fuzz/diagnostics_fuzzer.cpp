// Fuzzes the diagnostic entry points that query the client: the info panel, the
// connection report and the poke reply, with the event echoes and the hotkey list beside
// them. Item types, statuses and IDs are any values; names come in every length, from the
// client and from the event alike; every host query answers from the input.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_host.h"
#include "host/plugin_records.h"
#include "plugin/entry_points.h"

namespace {

using wt::fuzz::consumeText;
using wt::fuzz::fail;

constexpr int kMaxOperations = 8;
constexpr size_t kMaxEventText = 1500;
constexpr size_t kInfoTextSize = 128;  // the info text the plugin hands over, terminator included
constexpr int kConnectionEstablished = 4;

// An event text: any length, or null now and then.
struct EventText {
    std::string text;
    bool null;

    explicit EventText(FuzzedDataProvider& input)
        : text(consumeText(input, kMaxEventText)),
          null(input.ConsumeIntegral<uint8_t>() % 8 == 0) {}

    const char* get() const { return null ? nullptr : text.c_str(); }
};

int consumeItemType(FuzzedDataProvider& input) {
    if (input.ConsumeIntegral<uint8_t>() % 4 == 0) return input.ConsumeIntegral<int>();
    return input.ConsumeIntegralInRange(0, 2);
}

void infoData(FuzzedDataProvider& input) {
    const uint64_t handler = input.ConsumeIntegral<uint64_t>();
    const uint64_t item = input.ConsumeIntegral<uint64_t>();
    const int type = consumeItemType(input);
    // Whatever the client leaves in the out-pointer must stay there when no text is made.
    char untouched = 0;
    char* text = &untouched;
    const bool noOutPointer = input.ConsumeIntegral<uint8_t>() % 16 == 0;
    ts3plugin_infoData(handler, item, type, noOutPointer ? nullptr : &text);
    if (text == &untouched) return;
    if (text == nullptr) fail("infoData stored a null text");
    if (strnlen(text, kInfoTextSize) == kInfoTextSize) fail("the info text is not terminated");
    ts3plugin_freeMemory(text);
}

void connectStatus(FuzzedDataProvider& input) {
    const uint64_t handler = input.ConsumeIntegral<uint64_t>();
    const int status = input.ConsumeIntegral<uint8_t>() % 4 == 0 ? input.ConsumeIntegral<int>()
                                                                 : kConnectionEstablished;
    ts3plugin_onConnectStatusChangeEvent(handler, status, input.ConsumeIntegral<unsigned int>());
}

void poke(FuzzedDataProvider& input) {
    const EventText name(input);
    const EventText identity(input);
    const EventText message(input);
    const uint64_t handler = input.ConsumeIntegral<uint64_t>();
    const uint16_t from = input.ConsumeIntegral<uint16_t>();
    const int ignored = input.ConsumeBool() ? 0 : input.ConsumeIntegral<int>();
    if (ts3plugin_onClientPokeEvent(handler, from, name.get(), identity.get(), message.get(),
                                    ignored) != 0)
        fail("the poke was not left to the client");
}

void talkStatus(FuzzedDataProvider& input) {
    ts3plugin_onTalkStatusChangeEvent(input.ConsumeIntegral<uint64_t>(),
                                      input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                      input.ConsumeIntegral<uint16_t>());
}

void echoes(FuzzedDataProvider& input) {
    const EventText first(input);
    const EventText second(input);
    const EventText third(input);
    const uint64_t handler = input.ConsumeIntegral<uint64_t>();
    switch (input.ConsumeIntegral<uint8_t>() % 5) {
        case 0:
            if (ts3plugin_onTextMessageEvent(
                    handler, input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                    input.ConsumeIntegral<uint16_t>(), first.get(), second.get(), third.get(),
                    input.ConsumeIntegral<int>()) != 0)
                fail("a text message was not left to the client");
            break;
        case 1:
            if (ts3plugin_onServerErrorEvent(handler, first.get(),
                                             input.ConsumeIntegral<unsigned>(), second.get(),
                                             third.get()) != (second.null ? 0 : 1))
                fail("a server error was claimed otherwise than by its return code");
            break;
        case 2:
            ts3plugin_onAvatarUpdated(handler, input.ConsumeIntegral<uint16_t>(), first.get());
            break;
        case 3:
            ts3plugin_onPluginCommandEvent(handler, first.get(), second.get());
            break;
        default:
            ts3plugin_onHotkeyEvent(first.get());
            ts3plugin_onHotkeyRecordedEvent(second.get(), third.get());
            break;
    }
}

// The list and its records come back through ts3plugin_freeMemory, as the client gives them.
void hotkeys() {
    PluginHotkey** list = nullptr;
    ts3plugin_initHotkeys(&list);
    if (list == nullptr) return;
    for (PluginHotkey** hotkey = list; *hotkey != nullptr; ++hotkey) {
        if (strnlen((*hotkey)->keyword, kHotkeyTextSize) == kHotkeyTextSize ||
            strnlen((*hotkey)->description, kHotkeyTextSize) == kHotkeyTextSize)
            fail("a hotkey text is not terminated");
        ts3plugin_freeMemory(*hotkey);
    }
    ts3plugin_freeMemory(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    wt::fuzz::beginInput(input);
    for (int operation = 0; operation < kMaxOperations && input.remaining_bytes() > 0;
         ++operation) {
        switch (input.ConsumeIntegral<uint8_t>() % 7) {
            case 0:
                infoData(input);
                break;
            case 1:
                connectStatus(input);
                break;
            case 2:
                poke(input);
                break;
            case 3:
                talkStatus(input);
                break;
            case 4:
                echoes(input);
                break;
            case 5:
                hotkeys();
                break;
            default:
                ts3plugin_currentServerConnectionChanged(input.ConsumeIntegral<uint64_t>());
                break;
        }
    }
    wt::fuzz::endInput();
    return 0;
}

// Fuzzes the "test" chat command: any command text (the input's leading bytes, so a seed
// reads as the text typed after "/test"), with or without a registered plugin
// identifier, against a client that answers every request from the rest of the input.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_host.h"
#include "plugin/entry_points.h"

namespace {

using wt::fuzz::fail;

// Well past the 127 characters the command keeps.
constexpr size_t kMaxCommand = 400;
constexpr size_t kMaxPluginId = 200;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string command = input.ConsumeRandomLengthString(kMaxCommand);
    wt::fuzz::beginInput(input);

    // The identifier is set afresh for every input, so each one replays alike.
    switch (input.ConsumeIntegral<uint8_t>() % 8) {
        case 0:
            ts3plugin_shutdown();  // none registered
            break;
        case 1:
            ts3plugin_registerPluginID(wt::fuzz::consumeText(input, kMaxPluginId).c_str());
            break;
        default:
            ts3plugin_registerPluginID("fuzz-plugin-id");
            break;
    }

    const bool nullCommand = input.ConsumeIntegral<uint8_t>() == 255;
    const int handled = ts3plugin_processCommand(input.ConsumeIntegral<uint64_t>(),
                                                 nullCommand ? nullptr : command.c_str());
    if (handled != 0 && handled != 1) fail("processCommand returned neither 0 nor 1");

    wt::fuzz::endInput();
    return 0;
}

// "subscribe", "unsubscribe", "subscribeall" and "unsubscribeall": channel subscriptions.

#include "diagnostics/command_number.h"
#include "diagnostics/command_support.h"
#include "diagnostics/subcommands.h"
#include "host/host.h"

namespace wt::diagnostics {

namespace {

// A failed request is logged as info, like a refused move.
void logRequestFailure(uint64_t handler, bool subscribe) {
    host::log(subscribe ? "Error subscribing channel" : "Error unsubscribing channel",
              host::kLogInfo, handler);
}

}  // namespace

void runSubscribe(uint64_t handler, const char* channel, bool subscribe) {
    if (channel == nullptr) return;  // silently, unlike the other subcommands
    const PluginIdUse pluginId;
    if (!registeredOrReport(pluginId, subscribe ? "subscribe channel" : "unsubscribe channel")) {
        return;
    }

    // One channel, then the 0 that ends an ID list.
    const uint64_t channels[] = {readChannelId(channel), 0};
    char returnCode[kReturnCodeSize];
    createReturnCode(pluginId.text(), returnCode);
    const unsigned int result =
        subscribe ? host::requestChannelSubscribe(handler, channels, returnCode)
                  : host::requestChannelUnsubscribe(handler, channels, returnCode);
    if (result != host::kOk) logRequestFailure(handler, subscribe);
}

void runSubscribeAll(uint64_t handler, bool subscribe) {
    const PluginIdUse pluginId;
    if (!registeredOrReport(pluginId,
                            subscribe ? "subscribe all channels" : "unsubscribe all channels")) {
        return;
    }

    char returnCode[kReturnCodeSize];
    createReturnCode(pluginId.text(), returnCode);
    const unsigned int result = subscribe ? host::requestChannelSubscribeAll(handler, returnCode)
                                          : host::requestChannelUnsubscribeAll(handler, returnCode);
    if (result != host::kOk) logRequestFailure(handler, subscribe);
}

}  // namespace wt::diagnostics

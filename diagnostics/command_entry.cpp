// The "test" chat command: the keyword the client registers and the entry point that
// receives everything typed after it.

#include <cstdint>
#include <cstdio>

#include "diagnostics/command_parser.h"
#include "diagnostics/subcommands.h"
#include "diagnostics/text_fit.h"
#include "plugin/entry_points.h"

namespace {

constexpr int kHandled = 0;
constexpr int kNotHandled = 1;

}  // namespace

WT_EXPORT const char* ts3plugin_commandKeyword(void) {
    return "test";
}

WT_EXPORT int ts3plugin_processCommand(uint64_t serverConnectionHandlerID, const char* command) {
    using namespace wt::diagnostics;
    const uint64_t handler = serverConnectionHandlerID;
    std::printf("PLUGIN: process command: '%s'\n", printable(command));

    ParsedCommand parsed;
    parseCommand(command, parsed);
    switch (parsed.subcommand) {
        case Subcommand::None:
            return kNotHandled;
        case Subcommand::Join:
            runJoin(handler, parsed.first, parsed.second);
            break;
        case Subcommand::Command:
            runPluginCommand(handler, parsed.first);
            break;
        case Subcommand::ServerInfo:
            runServerInfo(handler);
            break;
        case Subcommand::ChannelInfo:
            runChannelInfo(handler);
            break;
        case Subcommand::Avatar:
            runAvatar(handler, parsed.first);
            break;
        case Subcommand::EnableMenu:
            runEnableMenu(handler, parsed.first, parsed.second);
            break;
        case Subcommand::Subscribe:
            runSubscribe(handler, parsed.first, true);
            break;
        case Subcommand::Unsubscribe:
            runSubscribe(handler, parsed.first, false);
            break;
        case Subcommand::SubscribeAll:
            runSubscribeAll(handler, true);
            break;
        case Subcommand::UnsubscribeAll:
            runSubscribeAll(handler, false);
            break;
    }
    return kHandled;
}

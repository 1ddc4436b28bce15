// The "test" chat command: the keyword the client registers and the entry point that
// receives everything typed after it.

#include <cstdint>
#include <cstdio>

#include "diagnostics/command_parser.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

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
    std::printf("PLUGIN: process command: '%s'\n", wt::printable(command));

    ParsedCommand parsed;
    parseCommand(command, parsed);
    if (parsed.subcommand == nullptr) return kNotHandled;
    parsed.subcommand->run(handler, parsed.first, parsed.second);
    return kHandled;
}

#pragma once

// The ten subcommands of the "test" chat command, and the one table that names them. Each
// runs on the client's thread that delivered the command, reaches the client only through
// wt::host, and keeps nothing once it returns. `handler` is the server connection handler
// ID the command came with; every host function that takes one gets it, and it is the log
// ID of every log line. Parameters are tokens of the parsed command, null when the line
// has none.
//
// A new subcommand is its run function (a file of its own), its declaration here and its
// row in kSubcommands.

#include <cstdint>

namespace wt::diagnostics {

// "join <channelID> [password]": moves the own client into the channel.
void runJoin(uint64_t handler, const char* channel, const char* password);

// "command <text>": sends the one-word text as a plugin command to the current channel.
void runPluginCommand(uint64_t handler, const char* command);

// "serverinfo": shows the server's host and port in the current tab.
void runServerInfo(uint64_t handler);

// "channelinfo": shows the connect path of the own client's channel in the current tab.
void runChannelInfo(uint64_t handler);

// "avatar <clientID>": reports the client's avatar file on the console.
void runAvatar(uint64_t handler, const char* client);

// "enablemenu <menuID> [0|1]": enables or disables one of the plugin's menu items.
void runEnableMenu(uint64_t handler, const char* menu, const char* enabled);

// "subscribe <channelID>" and "unsubscribe <channelID>".
void runSubscribe(uint64_t handler, const char* channel, bool subscribe);

// "subscribeall" and "unsubscribeall".
void runSubscribeAll(uint64_t handler, bool subscribe);

struct Subcommand {
    const char* name;  // token 1 of the command, matched exactly and case-sensitively
    // first: token 2; second: the last token from token 3 on.
    void (*run)(uint64_t handler, const char* first, const char* second);
};

inline constexpr Subcommand kSubcommands[] = {
    {"join", [](uint64_t h, const char* first, const char* second) { runJoin(h, first, second); }},
    {"command", [](uint64_t h, const char* first, const char*) { runPluginCommand(h, first); }},
    {"serverinfo", [](uint64_t h, const char*, const char*) { runServerInfo(h); }},
    {"channelinfo", [](uint64_t h, const char*, const char*) { runChannelInfo(h); }},
    {"avatar", [](uint64_t h, const char* first, const char*) { runAvatar(h, first); }},
    {"enablemenu",
     [](uint64_t h, const char* first, const char* second) { runEnableMenu(h, first, second); }},
    {"subscribe", [](uint64_t h, const char* first, const char*) { runSubscribe(h, first, true); }},
    {"unsubscribe",
     [](uint64_t h, const char* first, const char*) { runSubscribe(h, first, false); }},
    {"subscribeall", [](uint64_t h, const char*, const char*) { runSubscribeAll(h, true); }},
    {"unsubscribeall", [](uint64_t h, const char*, const char*) { runSubscribeAll(h, false); }},
};

}  // namespace wt::diagnostics

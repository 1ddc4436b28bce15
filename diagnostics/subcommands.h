#pragma once

// The ten subcommands of the "test" chat command. Each runs on the client's thread that
// delivered the command, reaches the client only through wt::host, and keeps nothing
// once it returns. `handler` is the server connection handler ID the command came with;
// every host function that takes one gets it, and it is the log ID of every log line.
// Parameters are tokens of the parsed command, null when the line has none.

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

}  // namespace wt::diagnostics

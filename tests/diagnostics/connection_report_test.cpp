// The connection report through the built library: the whole chain of queries, where each
// failure ends it, and that every host string and ID list goes back on every path.

#include <functional>
#include <string>

#include "tests/diagnostics/diagnostics_fixture.h"

namespace {

constexpr uint64_t kHighChannel = uint64_t{1} << 32;  // low half zero: not the list's end

const std::string kIdentity = logged(
    "Plugin MOR-LEX Wacky Throats 1.0, Version 1.2, Author: MOR-LEX Haldrup Computersoftware GbR",
    4);

const std::string kFullReport =
    "PLUGIN: Client lib version: 3.6.1\n"
    "PLUGIN: Server name: Main\n"
    "PLUGIN: Server welcome message: Welcome!\n"
    "PLUGIN: My client ID = 5, nickname = Tester\n"
    "PLUGIN: Available channels:\n"
    "PLUGIN: Channel ID = 4294967296, name = Upper\n"
    "PLUGIN: Channel ID = 7, name = Lobby\n"
    "PLUGIN: Existing server connection handlers:\n"
    "- 3 - Main\n"
    "- 9 - Main\n";

// Two channels and three tabs, of which tab 8 is not connected.
void scriptServer(TestHost& client) {
    client.setText(F::getClientLibVersion, "3.6.1");
    client.setText(F::getServerVariableAsString, 1, "Main");
    client.setText(F::getServerVariableAsString, 2, "Welcome!");
    client.setText(F::getClientSelfVariableAsString, 1, "Tester");
    client.setIds(F::getChannelList, {kHighChannel, 7});
    client.setText(F::getChannelVariableAsString, kHighChannel, "Upper");
    client.setText(F::getChannelVariableAsString, 7, "Lobby");
    client.setIds(F::getServerConnectionHandlerList, {3, 8, 9});
    client.setResult(F::getServerVariableAsString, 8, 1794);
}

using ConnectionReport = Diagnostics;

TEST_F(ConnectionReport, WalksEveryChannelAndTabReleasingEachTextAndList) {
    scriptServer(host);
    for (int status : {0, 1, 2, 3}) {
        const auto ignored =
            host.run([&] { host.plugin.onConnectStatusChangeEvent(3, status, 0); });
        EXPECT_EQ(ignored.output, "");
        EXPECT_EQ(ignored.hostCalls, Calls{});
    }
    const auto outcome = host.run([&] { host.plugin.onConnectStatusChangeEvent(3, 4, 0); });
    EXPECT_EQ(outcome.output, kFullReport);
    EXPECT_EQ(outcome.hostCalls, (Calls{"getClientLibVersion(out)",
                                        "freeMemory(#1)",
                                        kIdentity,
                                        "getServerVariableAsString(3, 1, out)",
                                        "freeMemory(#2)",
                                        "getServerVariableAsString(3, 2, out)",
                                        "freeMemory(#3)",
                                        "getClientID(3, out)",
                                        "getClientSelfVariableAsString(3, 1, out)",
                                        "freeMemory(#4)",
                                        "getChannelList(3, out)",
                                        "getChannelVariableAsString(3, 4294967296, 0, out)",
                                        "freeMemory(#6)",
                                        "getChannelVariableAsString(3, 7, 0, out)",
                                        "freeMemory(#7)",
                                        "freeMemory(#5)",
                                        "getServerConnectionHandlerList(out)",
                                        "getServerVariableAsString(3, 1, out)",
                                        "freeMemory(#9)",
                                        "getServerVariableAsString(8, 1, out)",
                                        "getServerVariableAsString(9, 1, out)",
                                        "freeMemory(#10)",
                                        "freeMemory(#8)"}));
}

TEST(ConnectionReportFailure, EndsTheReportWithItsLogLineAndReleasesWhatItHeld) {
    const struct {
        const char* step;
        std::function<void(TestHost&)> fail;
        size_t linesStanding;  // of the full report
        Calls logs;
        const char* after = "";  // printed after the lines standing
    } cases[] = {
        {"lib version",
         [](TestHost& c) { c.setResult(F::getClientLibVersion, 1); },
         0,
         {logged("Error querying client lib version", 1)}},
        {"not connected",
         [](TestHost& c) { c.setResult(F::getServerVariableAsString, 3, 1794); },
         1,
         {kIdentity}},
        {"server name",
         [](TestHost& c) { c.setKeyedResult(F::getServerVariableAsString, 1, 5); },
         1,
         {kIdentity, logged("Error querying server name", 1)}},
        {"welcome",
         [](TestHost& c) { c.setKeyedResult(F::getServerVariableAsString, 2, 1794); },
         2,
         {kIdentity, logged("Error querying server welcome message", 1)}},
        {"client ID",
         [](TestHost& c) { c.setResult(F::getClientID, 1); },
         3,
         {kIdentity, logged("Error querying client ID", 1)}},
        {"nickname",
         [](TestHost& c) { c.setResult(F::getClientSelfVariableAsString, 1); },
         3,
         {kIdentity, logged("Error querying client nickname", 1)}},
        {"channel list",
         [](TestHost& c) { c.setResult(F::getChannelList, 1); },
         4,
         {kIdentity, logged("Error getting channel list", 1)}},
        {"no channels",
         [](TestHost& c) { c.setIds(F::getChannelList, {}); },
         5,
         {kIdentity},
         "PLUGIN: Existing server connection handlers:\n- 3 - Main\n- 9 - Main\n"},
        {"second channel",
         [](TestHost& c) { c.setKeyedResult(F::getChannelVariableAsString, 7, 1); },
         6,
         {kIdentity, logged("Error querying channel name", 1)}},
        {"tab list",
         [](TestHost& c) { c.setResult(F::getServerConnectionHandlerList, 1); },
         8,
         {kIdentity, logged("Error getting server list", 1)}},
        // A failing tab is logged under the event's tab, and the walk goes on.
        {"last tab",
         [](TestHost& c) { c.setResult(F::getServerVariableAsString, 9, 5); },
         9,
         {kIdentity, logged("Error querying server name", 1, kHandler)}},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        TestHost client;
        startClient(client);
        scriptServer(client);
        c.fail(client);
        const auto outcome = client.run([&] { client.plugin.onConnectStatusChangeEvent(3, 4, 0); });
        size_t end = 0;
        for (size_t line = 0; line < c.linesStanding; ++line) end = kFullReport.find('\n', end) + 1;
        EXPECT_EQ(outcome.output, kFullReport.substr(0, end) + c.after);
        Calls logs;
        for (const auto& call : outcome.hostCalls) {
            if (call.rfind("logMessage(", 0) == 0) logs.push_back(call);
        }
        EXPECT_EQ(logs, c.logs);
        expectLeakFree(client);
    }
}

}  // namespace

// The info panel, the hotkeys, the poke reply and the event echoes through the built
// library.

#include <string>

#include "tests/diagnostics/diagnostics_fixture.h"

namespace {

using Events = Diagnostics;

TEST_F(Events, InfoPanelNamesTheItemCutShortToKeepTheClosingTag) {
    std::string wide;  // "x" and 60 two-byte characters; the 51st would straddle the cut
    for (int i = 0; i < 60; ++i) wide += "\xC3\xA9";
    host.setText(F::getServerVariableAsString, 1, "Main");
    host.setText(F::getChannelVariableAsString, 12, "Lobby");
    host.setText(F::getChannelVariableAsString, 13, "x" + wide);
    host.setText(F::getClientVariableAsString, 6, "Ann");

    EXPECT_STREQ(host.plugin.infoTitle(), "MOR-LEX Wacky Throats 1.0 info");
    EXPECT_EQ(host.takeInfoData(kHandler, 99, 0), "The nickname is [I]\"Main\"[/I]");
    EXPECT_EQ(host.takeInfoData(kHandler, 12, 1)->size(), 30u);
    EXPECT_EQ(host.takeInfoData(kHandler, 13, 1),
              "The nickname is [I]\"x" + wide.substr(0, 100) + "\"[/I]");
    EXPECT_EQ(host.takeInfoData(kHandler, 0x10006, 2), "The nickname is [I]\"Ann\"[/I]");
    EXPECT_EQ(host.hostCalls(),
              (Calls{"getServerVariableAsString(3, 1, out)", "freeMemory(#1)",
                     "getChannelVariableAsString(3, 12, 0, out)", "freeMemory(#2)",
                     "getChannelVariableAsString(3, 13, 0, out)", "freeMemory(#3)",
                     "getClientVariableAsString(3, 6, 1, out)", "freeMemory(#4)"}));
    EXPECT_EQ(host.blocksGivenBack(), 4u);
}

TEST_F(Events, InfoPanelGivesNoTextWhenTheQueryFailsOrTheTypeIsUnknown) {
    const struct {
        int type;
        F query;
        const char* line;
    } cases[] = {
        {0, F::getServerVariableAsString, "Error getting virtual server name\n"},
        {1, F::getChannelVariableAsString, "Error getting channel name\n"},
        {2, F::getClientVariableAsString, "Error getting client nickname\n"},
        {3, F::getAvatar, "Invalid item type: 3\n"},
    };

    for (const auto& c : cases) {
        host.setResult(c.query, 1);
        char untouched = 'u';
        char* data = &untouched;
        const auto outcome = host.run([&] { host.plugin.infoData(kHandler, 12, c.type, &data); });
        EXPECT_EQ(outcome.output, c.line);
        EXPECT_EQ(data, &untouched);
        EXPECT_EQ(outcome.hostCalls.size(), c.type == 3 ? 0u : 1u);
    }
}

TEST_F(Events, HotkeysAreThreeRecordsEndedByANullPointer) {
    EXPECT_EQ(host.takeHotkeys(),
              (std::vector<wt::testhost::HotkeyRecord>{{"keyword_1", "Test hotkey 1"},
                                                       {"keyword_2", "Test hotkey 2"},
                                                       {"keyword_3", "Test hotkey 3"}}));
    EXPECT_EQ(host.blocksGivenBack(), 4u);  // three records and the list
}

TEST_F(Events, PokesAreAnsweredOnceInPrivateUnlessIgnoredOrOwn) {
    auto poke = [&](uint16_t from, int ignored) {
        int result = -1;
        const auto outcome = host.run([&] {
            result = host.plugin.onClientPokeEvent(kHandler, from, "Bob", "uid", "hey", ignored);
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(outcome.output, "PLUGIN onClientPokeEvent: 3 " + std::to_string(from) +
                                      " Bob hey " + std::to_string(ignored) + "\n");
        return outcome.hostCalls;
    };
    const std::string reply = "requestSendPrivateTextMsg(3, \"Received your poke!\", 9, null)";
    EXPECT_EQ(poke(9, 0), (Calls{"getClientID(3, out)", reply}));
    EXPECT_EQ(poke(9, 1), Calls{});
    EXPECT_EQ(poke(kOwnClient, 0), Calls{"getClientID(3, out)"});
    host.setResult(F::requestSendPrivateTextMsg, 1);
    EXPECT_EQ(poke(9, 0).back(), logged("Error requesting send text message", 1));
    host.setResult(F::getClientID, 1);
    EXPECT_EQ(poke(9, 0),
              (Calls{"getClientID(3, out)", logged("Error querying own client id", 1)}));

    // Texts the client leaves null print as empty.
    const auto nulls =
        host.run([&] { host.plugin.onClientPokeEvent(kHandler, 9, nullptr, nullptr, nullptr, 1); });
    EXPECT_EQ(nulls.output, "PLUGIN onClientPokeEvent: 3 9   1\n");
}

TEST_F(Events, TalkStatusMessagesErrorsAvatarsCommandsAndTabChangesAreEchoed) {
    host.setText(F::getClientDisplayName, 9, "Bob");
    host.setNumber(F::getCurrentServerConnectionHandlerID, 8);
    int results = 0;
    const auto outcome = host.run([&] {
        host.plugin.onTalkStatusChangeEvent(kHandler, 1, 0, 9);
        host.plugin.onTalkStatusChangeEvent(kHandler, 2, 0, 9);
        results += host.plugin.onTextMessageEvent(kHandler, 2, 4, 9, "Bob", "uid", "hi", 1);
        results += 10 * host.plugin.onServerErrorEvent(kHandler, "denied", 2568, nullptr, "x");
        results += 100 * host.plugin.onServerErrorEvent(kHandler, "denied", 2568, "", nullptr);
        host.plugin.onAvatarUpdated(kHandler, 9, "/cache/a9");
        host.plugin.onAvatarUpdated(kHandler, 9, nullptr);
        host.plugin.onPluginCommandEvent(kHandler, "Other", "ping");
        host.plugin.onHotkeyEvent("keyword_2");
        host.plugin.onHotkeyRecordedEvent("keyword_2", "F5");
        host.plugin.currentServerConnectionChanged(kHandler);
    });
    EXPECT_EQ(outcome.output,
              "--> Bob starts talking\n"
              "--> Bob stops talking\n"
              "PLUGIN: onTextMessageEvent 3 2 9 Bob hi 1\n"
              "PLUGIN: onServerErrorEvent 3 denied 2568 \n"
              "PLUGIN: onServerErrorEvent 3 denied 2568 \n"
              "onAvatarUpdated: 3 9 /cache/a9\n"
              "onAvatarUpdated: 3 9 - deleted\n"
              "ON PLUGIN COMMAND: Other ping\n"
              "PLUGIN: Hotkey event: keyword_2\n"
              "PLUGIN: currentServerConnectionChanged 3 (8)\n");
    EXPECT_EQ(results, 100);  // only the error that came with a return code is claimed
    EXPECT_EQ(outcome.hostCalls,
              (Calls{"getClientDisplayName(3, 9, buf, 512)", "getClientDisplayName(3, 9, buf, 512)",
                     "getCurrentServerConnectionHandlerID()"}));

    // A name that fills the whole buffer without a terminator ends before the character
    // that would straddle the last byte.
    const std::string fits(510, 'a');
    host.setText(F::getClientDisplayName, 9, fits + "\xC3\xA9z");
    EXPECT_EQ(host.run([&] { host.plugin.onTalkStatusChangeEvent(kHandler, 1, 0, 9); }).output,
              "--> " + fits + " starts talking\n");

    host.setResult(F::getClientDisplayName, 1);
    EXPECT_EQ(host.run([&] { host.plugin.onTalkStatusChangeEvent(kHandler, 1, 0, 9); }).output, "");
}

}  // namespace

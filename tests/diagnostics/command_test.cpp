// The "test" chat command through the built library: splitting, numbers, every
// subcommand's calls into the client and what each reports where.

#include <string>

#include "tests/diagnostics/diagnostics_fixture.h"

namespace {

using Command = Diagnostics;

const std::string kReturnCode = "createReturnCode(\"wt-test-plugin-id\", buf, 128)";

// What "join" asks of the client when all goes well.
Calls joined(const std::string& channelAndPassword) {
    return {"getClientID(3, out)", kReturnCode,
            "requestClientMove(3, 5, " + channelAndPassword + ", \"rc\")"};
}

TEST_F(Command, SplitsOnBlanksOnlyAndReadsNumbersLikeAtoiWithoutOverflow) {
    EXPECT_EQ(command("join 12"), joined("12, \"\""));
    EXPECT_EQ(command("   join    12   "), joined("12, \"\""));
    EXPECT_EQ(command("join 12 a b c"), joined("12, \"c\""));   // the last token
    EXPECT_EQ(command("join 12\tsecret"), joined("12, \"\""));  // a tab is no separator
    EXPECT_EQ(command("join -1"), joined("18446744073709551615, \"\""));
    EXPECT_EQ(command("join 99999999999"), joined("2147483647, \"\""));
    EXPECT_EQ(command("join -99999999999"), joined("18446744071562067968, \"\""));
    const std::string overlong = "join 12 " + std::string(200, 'p');
    EXPECT_EQ(command(overlong.c_str()), joined("12, \"" + std::string(127 - 8, 'p') + "\""));
}

TEST_F(Command, AnythingButAnExactSubcommandNameIsNotHandled) {
    for (const char* text : {"", "   ", "JOIN 12", "Join 12", "join\t12", "joined 12"}) {
        EXPECT_EQ(command(text, "", 1), Calls{});
    }
    EXPECT_EQ(command(nullptr, "", 1), Calls{});
}

TEST_F(Command, MissingParametersAreReportedToTheCurrentTabOrIgnored) {
    EXPECT_EQ(command("join"), Calls{tab("Missing channel ID parameter.")});
    EXPECT_EQ(command("command"), Calls{tab("Missing command parameter.")});
    EXPECT_EQ(command("enablemenu"), Calls{tab("Usage is: /test enablemenu <menuID> <0|1>")});
    EXPECT_EQ(command("avatar"), Calls{tab("Missing client ID parameter.")});
    EXPECT_EQ(command("subscribe"), Calls{});
    EXPECT_EQ(command("unsubscribe"), Calls{});
}

TEST_F(Command, JoinAndCommandReachTheClientWithTheirParameters) {
    host.setResult(F::sendPluginCommand, 1);  // not examined
    EXPECT_EQ(command("command hello world",
                      "PLUGIN: Sending plugin command to current channel: hello\n"),
              Calls{"sendPluginCommand(3, \"wt-test-plugin-id\", \"hello\", 0, null, null)"});

    host.setResult(F::requestClientMove, 1);
    Calls refused = joined("12, \"\"");
    refused.push_back(logged("Error requesting client move", 4));
    EXPECT_EQ(command("join 12"), refused);
    host.setResult(F::createReturnCode, 1);  // the request still goes out, with no code
    EXPECT_EQ(command("join 12").at(2), "requestClientMove(3, 5, 12, \"\", \"\")");
    host.setResult(F::getClientID, 1);
    EXPECT_EQ(command("join 12"),
              (Calls{"getClientID(3, out)", logged("Error querying client ID", 1)}));
}

TEST_F(Command, ConnectInfoIsShownInTheCurrentTabCutShortToKeepItsFixedParts) {
    const Calls serverQuery = {"getServerConnectInfo(3, buf, out, null, 256)"};
    host.setText(F::getServerConnectInfo, "voice.example.org");
    host.setNumber(F::getServerConnectInfo, 9987);
    EXPECT_EQ(command("serverinfo").back(), tab("Server Connect Info: voice.example.org:9987"));
    std::string wide;  // 254 bytes of two-byte characters; 229 bytes of room split one
    for (int i = 0; i < 127; ++i) wide += "\xC3\xA9";
    host.setText(F::getServerConnectInfo, wide);
    EXPECT_EQ(command("serverinfo").back(),
              tab("Server Connect Info: " + wide.substr(0, 228) + ":9987"));
    host.setResult(F::getServerConnectInfo, 1);
    EXPECT_EQ(command("serverinfo"),
              (Calls{serverQuery[0], tab("No server connect info available.")}));

    const Calls channelQueries = {"getClientID(3, out)", "getChannelOfClient(3, 5, out)",
                                  "getChannelConnectInfo(3, 42, buf, null, 512)"};
    host.setNumber(F::getChannelOfClient, kOwnClient, 42);
    host.setText(F::getChannelConnectInfo, 42, std::string(600, 'q'));
    Calls shown = channelQueries;
    shown.push_back(tab("Channel Connect Info: " + std::string(511 - 22, 'q')));
    EXPECT_EQ(command("channelinfo"), shown);
    host.setResult(F::getChannelConnectInfo, 1);
    EXPECT_EQ(command("channelinfo").back(), tab("No channel connect info available."));
    host.setResult(F::getChannelOfClient, 1);
    EXPECT_EQ(command("channelinfo").back(), logged("Error querying channel ID", 1));
    host.setResult(F::getClientID, 1);
    EXPECT_EQ(command("channelinfo"),
              (Calls{"getClientID(3, out)", logged("Error querying client ID", 1)}));
}

// The command text is cut to 127 bytes, and like every other cut text never inside a
// character: the client takes the password or plugin command it gets back as UTF-8.
// Bytes that form no character are cut as bytes.
TEST_F(Command, CutsNeverSplitACharacterAndCutOtherBytesAsBytes) {
    const std::string prefix = "join 12 ";  // the password starts at byte 8
    for (const std::string character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        // From the last start where the character still fits to the last byte kept.
        for (size_t start = 127 - character.size(); start < 127; ++start) {
            const std::string before(start - prefix.size(), 'p');
            const std::string text = prefix + before + character + "tail";
            const std::string kept = start + character.size() <= 127 ? before + character : before;
            EXPECT_EQ(command(text.c_str()), joined("12, \"" + kept + "\"")) << start;
        }
    }
    const std::string stray(200, '\x80');
    EXPECT_EQ(command((prefix + stray).c_str()), joined("12, \"" + stray.substr(0, 119) + "\""));
    // Cut off before its end, overlong, a surrogate, beyond U+10FFFF; each from byte 125.
    for (const std::string broken :
         {"\xE2\x82\x41", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        const std::string before(125 - prefix.size(), 'p');
        const std::string text = prefix + before + broken + "tail";
        EXPECT_EQ(command(text.c_str()),
                  joined("12, \"" + (before + broken).substr(0, 119) + "\""));
    }

    // The same rule where a host text is cut to fit a line.
    host.setText(F::getServerConnectInfo, std::string(300, '\x80'));
    host.setNumber(F::getServerConnectInfo, 9987);
    EXPECT_EQ(command("serverinfo").back(),
              tab("Server Connect Info: " + std::string(229, '\x80') + ":9987"));
}

TEST_F(Command, AvatarReportsEachAnswerOnTheConsole) {
    const struct {
        unsigned int code;
        const char* path;
        const char* line;
    } cases[] = {
        {0, "/cache/a", "Avatar path: /cache/a\n"},
        {0, "", "Avatar not yet downloaded, waiting for onAvatarUpdated...\n"},
        {1281, "x", "Client has no avatar\n"},
        {1794, "x", "Error getting avatar: 1794\n"},
    };

    for (const auto& c : cases) {
        host.setResult(F::getAvatar, c.code);
        host.setText(F::getAvatar, c.path);
        // Client ID 70000 keeps its low 16 bits.
        EXPECT_EQ(command("avatar 70000", c.line), Calls{"getAvatar(3, 4464, buf, 512)"});
    }
}

TEST_F(Command, MenuItemsAndSubscriptionsGoOutWithTheIdentifierAndAReturnCode) {
    EXPECT_EQ(command("enablemenu 7"), Calls{"setPluginMenuEnabled(\"wt-test-plugin-id\", 7, 0)"});
    EXPECT_EQ(command("enablemenu 7 5"),
              Calls{"setPluginMenuEnabled(\"wt-test-plugin-id\", 7, 5)"});

    const struct {
        const char* text;
        F request;
        const char* call;
        const char* failure;
    } cases[] = {
        {"subscribe 9", F::requestChannelSubscribe, "requestChannelSubscribe(3, [9], \"rc\")",
         "Error subscribing channel"},
        {"unsubscribe 9", F::requestChannelUnsubscribe, "requestChannelUnsubscribe(3, [9], \"rc\")",
         "Error unsubscribing channel"},
        {"subscribeall", F::requestChannelSubscribeAll, "requestChannelSubscribeAll(3, \"rc\")",
         "Error subscribing channel"},
        {"unsubscribeall", F::requestChannelUnsubscribeAll,
         "requestChannelUnsubscribeAll(3, \"rc\")", "Error unsubscribing channel"},
    };

    for (const auto& c : cases) {
        EXPECT_EQ(command(c.text), (Calls{kReturnCode, c.call}));
        host.setResult(c.request, 1);
        EXPECT_EQ(command(c.text), (Calls{kReturnCode, c.call, logged(c.failure, 4)}));
    }
}

TEST_F(Command, WithoutAnIdentifierNoSubcommandNeedingOneReachesTheClient) {
    host.run([&] { host.plugin.shutdown(); });

    const struct {
        const char* text;
        const char* failed;
    } cases[] = {
        {"join 12", "join channel"},
        {"command hi", "send plugin command"},
        {"enablemenu 7 1", "change plugin menu item"},
        {"subscribe 9", "subscribe channel"},
        {"unsubscribe 9", "unsubscribe channel"},
        {"subscribeall", "subscribe all channels"},
        {"unsubscribeall", "unsubscribe all channels"},
    };

    for (const auto& c : cases) {
        const std::string line =
            std::string("PLUGIN: Failed to ") + c.failed + ", was not registered.\n";
        EXPECT_EQ(command(c.text, line), Calls{});
    }
}

}  // namespace

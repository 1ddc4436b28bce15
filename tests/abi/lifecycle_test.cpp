// Identity, start-up, the plugin identifier and shutdown, through the built library.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "tests/testhost/test_host.h"

namespace {

using wt::testhost::HostFunction;
using wt::testhost::TestHost;

using Calls = std::vector<std::string>;

class Lifecycle : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(host.loaded()) << host.loadError(); }

    TestHost host;
};

TEST_F(Lifecycle, IdentityTextsAreFixedAndTheirPointersStable) {
    EXPECT_STREQ(host.plugin.name(), "MOR-LEX Wacky Throats 1.0");
    EXPECT_STREQ(host.plugin.version(), "1.2");  // the name's "1.0" is not the version
    EXPECT_EQ(host.plugin.apiVersion(), 19);
    EXPECT_STREQ(host.plugin.author(), "MOR-LEX Haldrup Computersoftware GbR");
    EXPECT_STREQ(host.plugin.description(), "This plugin can create sound effects for your voice.");

    const char* name = host.plugin.name();
    const char* version = host.plugin.version();
    const char* author = host.plugin.author();
    const char* description = host.plugin.description();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.plugin.name(), name);
        EXPECT_EQ(host.plugin.version(), version);
        EXPECT_EQ(host.plugin.author(), author);
        EXPECT_EQ(host.plugin.description(), description);
    }
}

TEST_F(Lifecycle, IdentityNeedsNoClientAndCallsNone) {
    const auto outcome = host.run([&] {
        host.plugin.name();
        host.plugin.version();
        host.plugin.apiVersion();
        host.plugin.author();
        host.plugin.description();
    });
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.hostCalls, Calls{});
}

// Hosts place the functions where the plugin looks for them only through the list; the
// suite run with shuffled slots (preset abi-shuffled) proves no other layout is assumed.
TEST_F(Lifecycle, TheClientsTableHoldsEachHostFunctionInItsListedSlotAndNothingElse) {
    const HostFunctions table = host.functionTable();
    size_t filled = 0;
    for (size_t slot = 0; slot < kHostFunctionSlots; ++slot) {
        EXPECT_EQ(table.slots[slot] != nullptr, !isReservedHostSlot(slot)) << "slot " << slot;
        if (table.slots[slot] != nullptr) ++filled;
    }
    EXPECT_EQ(filled, kHostFunctionsUsed);
#if defined(WT_SHUFFLED_HOST_SLOTS)
    // The shuffle took: the functions no longer follow one another in list order.
    EXPECT_FALSE(std::is_sorted(std::begin(kHostFunctionSlotOf), std::end(kHostFunctionSlotOf)));
#endif
}

TEST_F(Lifecycle, InitReportsTheFourPathsInOrder) {
    host.setText(HostFunction::getAppPath, "/opt/client/");
    host.setText(HostFunction::getResourcesPath, "/opt/client/res/");
    host.setText(HostFunction::getConfigPath, "/home/u/.client/");
    host.setText(HostFunction::getPluginPath, "/home/u/.client/plugins/");

    int result = -1;
    const auto outcome = host.run([&] {
        host.plugin.setFunctionPointers(host.functionTable());
        result = host.plugin.init();
    });

    EXPECT_EQ(result, 0);
    EXPECT_EQ(outcome.output,
              "PLUGIN: init\n"
              "PLUGIN: App path: /opt/client/\n"
              "Resources path: /opt/client/res/\n"
              "Config path: /home/u/.client/\n"
              "Plugin path: /home/u/.client/plugins/\n");
    EXPECT_EQ(outcome.hostCalls, (Calls{"getAppPath(buf, 512)", "getResourcesPath(buf, 512)",
                                        "getConfigPath(buf, 512)", "getPluginPath(buf, 512)"}));
}

// Leftovers of earlier calls must never show: the stack under the path buffers is dirtied
// first by a call that fills it.
TEST_F(Lifecycle, InitPrintsAPathTheClientLeavesUnwrittenAsEmpty) {
    host.plugin.setFunctionPointers(host.functionTable());
    host.setText(HostFunction::getAppPath, std::string(600, 'x'));
    host.setText(HostFunction::getResourcesPath, std::string(600, 'y'));
    host.setText(HostFunction::getConfigPath, std::string(600, 'z'));
    host.setText(HostFunction::getPluginPath, "/p/");
    host.run([&] { host.plugin.init(); });

    host.setText(HostFunction::getAppPath, "/a/");
    host.setResult(HostFunction::getResourcesPath, 1);  // fails, writes nothing
    host.setText(HostFunction::getConfigPath, "");
    host.setResult(HostFunction::getConfigPath, 0);
    host.setResult(HostFunction::getPluginPath, 1);
    const auto outcome = host.run([&] { host.plugin.init(); });
    EXPECT_EQ(outcome.output,
              "PLUGIN: init\n"
              "PLUGIN: App path: /a/\n"
              "Resources path: \n"
              "Config path: \n"
              "Plugin path: \n");
}

TEST_F(Lifecycle, InitBeforeTheFunctionTableReachesNoClientAndStillReports) {
    host.setText(HostFunction::getAppPath, "/never/");
    const auto outcome = host.run([&] { EXPECT_EQ(host.plugin.init(), 0); });
    EXPECT_EQ(outcome.output,
              "PLUGIN: init\n"
              "PLUGIN: App path: \nResources path: \nConfig path: \nPlugin path: \n");
    EXPECT_EQ(outcome.hostCalls, Calls{});
}

// The buffer is filled without a terminator; the cut keeps the character across its last
// byte out whole.
TEST_F(Lifecycle, APathFillingTheWholeBufferIsCutToFit) {
    host.plugin.setFunctionPointers(host.functionTable());
    host.setText(HostFunction::getAppPath, std::string(510, 'a') + "\xC3\xA9" + "b");
    const auto outcome = host.run([&] { host.plugin.init(); });
    EXPECT_NE(outcome.output.find("App path: " + std::string(510, 'a') + "\n"), std::string::npos);
}

TEST_F(Lifecycle, RegisterKeepsACopyAndShutdownReleasesIt) {
    const auto started = host.start("first-id");
    EXPECT_NE(started.output.find("PLUGIN: registerPluginID: first-id\n"), std::string::npos);

    std::string id = "second-id";
    auto outcome = host.run([&] { host.plugin.registerPluginID(id.c_str()); });
    id.assign(id.size(), '#');  // the plugin keeps its own copy
    EXPECT_EQ(outcome.output, "PLUGIN: registerPluginID: second-id\n");
    EXPECT_EQ(outcome.hostCalls, Calls{});

    outcome = host.run([&] { host.plugin.shutdown(); });
    EXPECT_EQ(outcome.output, "PLUGIN: shutdown\n");
    EXPECT_EQ(outcome.hostCalls, Calls{});
}

TEST_F(Lifecycle, ShutdownWithoutIdentifierOnlyPrintsItsLineEveryTime) {
    for (int i = 0; i < 2; ++i) {
        const auto outcome = host.run([&] { host.plugin.shutdown(); });
        EXPECT_EQ(outcome.output, "PLUGIN: shutdown\n");
        EXPECT_EQ(outcome.hostCalls, Calls{});
    }
    host.start();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(host.run([&] { host.plugin.shutdown(); }).output, "PLUGIN: shutdown\n");
    }
}

TEST_F(Lifecycle, ANullIdentifierIsKeptAsNone) {
    const auto outcome = host.run([&] { host.plugin.registerPluginID(nullptr); });
    EXPECT_EQ(outcome.output, "PLUGIN: registerPluginID: \n");
}

TEST_F(Lifecycle, ConfigurationIsNotOfferedButAnswered) {
    for (int i = 0; i < 2; ++i) {
        int offered = -1;
        const auto outcome = host.run([&] { offered = host.plugin.offersConfigure(); });
        EXPECT_EQ(offered, 0);
        EXPECT_EQ(outcome.output, "PLUGIN: offersConfigure\n");
    }
    EXPECT_EQ(host.run([&] { host.plugin.configure(nullptr, nullptr); }).output,
              "PLUGIN: configure\n");
    EXPECT_EQ(host.plugin.requestAutoload(), 0);
}

TEST_F(Lifecycle, FreeMemoryOfNullDoesNothing) {
    const auto outcome = host.run([&] { host.plugin.freeMemory(nullptr); });
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.hostCalls, Calls{});
}

}  // namespace

// The kept plugin identifier: a private copy, replaced and released, null when no copy
// can be made; a copy still in use outlives its replacement until its last use ends, and
// registration prints the copy it made whatever another thread does meanwhile.

#include "plugin/plugin_id.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "plugin/entry_points.h"
#include "tests/support/allocation_probe.h"
#include "tests/support/gate.h"
#include "tests/support/stdout_capture.h"

namespace {

bool registered() {
    return wt::PluginIdUse().text() != nullptr;
}

class PluginId : public ::testing::Test {
  protected:
    void TearDown() override { ts3plugin_shutdown(); }
};

TEST_F(PluginId, IsNullUntilRegisteredAndAfterShutdown) {
    ts3plugin_shutdown();
    EXPECT_FALSE(registered());
    ts3plugin_registerPluginID("id-1");
    EXPECT_TRUE(registered());
    ts3plugin_shutdown();
    EXPECT_FALSE(registered());
}

TEST_F(PluginId, KeepsItsOwnCopy) {
    std::string id = "client-given";
    ts3plugin_registerPluginID(id.c_str());
    id.assign(id.size(), '#');
    EXPECT_STREQ(wt::PluginIdUse().text(), "client-given");
}

TEST_F(PluginId, ASecondRegistrationReplacesAndReleasesTheFirst) {
    wt::test::AllocationProbe allocations;
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    ts3plugin_registerPluginID("first");
    ts3plugin_registerPluginID("second");
    EXPECT_STREQ(wt::PluginIdUse().text(), "second");
    EXPECT_EQ(allocations.live(), 1u);
    ts3plugin_shutdown();
    EXPECT_EQ(allocations.live(), 0u);
}

TEST_F(PluginId, WithoutMemoryForTheCopyTheIdentifierBecomesNull) {
    ts3plugin_registerPluginID("earlier");
    wt::test::AllocationProbe allocations(0);
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    ts3plugin_registerPluginID("later");
    EXPECT_EQ(allocations.allocations(), 1u);
    EXPECT_FALSE(registered());  // neither the old nor a dangling one
}

TEST_F(PluginId, ANullIdentifierKeepsNothing) {
    ts3plugin_registerPluginID("earlier");
    ts3plugin_registerPluginID(nullptr);
    EXPECT_FALSE(registered());
}

// Uses nest and overlap as commands on several client threads do.
TEST_F(PluginId, ACopyInUseStaysWholeUntilItsLastUseEndsAndIsReleasedThen) {
    wt::test::AllocationProbe allocations;
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    ts3plugin_registerPluginID("first");
    {
        const wt::PluginIdUse outer;
        {
            const wt::PluginIdUse inner;
            ts3plugin_registerPluginID("second");
            ts3plugin_shutdown();
            EXPECT_STREQ(inner.text(), "first");
            EXPECT_EQ(allocations.live(), 2u);  // "first" in use, "second" caught with it
        }
        EXPECT_FALSE(registered());  // later uses see the shutdown
        EXPECT_STREQ(outer.text(), "first");
        EXPECT_EQ(allocations.live(), 2u);
    }
    EXPECT_EQ(allocations.live(), 0u);

    // At unload, also the copy of a client that never shut the plugin down.
    ts3plugin_registerPluginID("third");
    EXPECT_EQ(allocations.live(), 1u);
    wt::releasePluginIds();
    EXPECT_EQ(allocations.live(), 0u);
    EXPECT_FALSE(registered());
}

// Holds a registration on another thread at its first release of memory (the copy it
// replaces) while this thread shuts the plugin down, which releases the new copy.
thread_local bool holdNextRelease = false;
wt::test::Gate releaseReached;
wt::test::Gate releaseMayGoOn;

void holdRegistration(void*) {
    if (!holdNextRelease) return;
    holdNextRelease = false;
    releaseReached.open();
    releaseMayGoOn.wait();
}

TEST_F(PluginId, RegistrationPrintsTheCopyItMadeWhileAnotherThreadShutsDown) {
    wt::test::AllocationProbe allocations;
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    ts3plugin_registerPluginID("first-identifier");
    allocations.onFree(holdRegistration);

    const std::string output = wt::test::captureStdout([] {
        std::thread registering([] {
            holdNextRelease = true;
            ts3plugin_registerPluginID("second-identifier");
        });
        // A registration that releases nothing before it has printed is not held.
        releaseReached.waitFor(std::chrono::seconds(2));
        ts3plugin_shutdown();
        releaseMayGoOn.open();
        registering.join();
    });
    allocations.onFree(nullptr);

    EXPECT_NE(output.find("PLUGIN: registerPluginID: second-identifier\n"), std::string::npos)
        << output;
    EXPECT_FALSE(registered());
}

}  // namespace

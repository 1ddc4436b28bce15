// The kept plugin identifier: a private copy, replaced and released, null when no copy
// can be made.

#include <gtest/gtest.h>

#include <string>

#include "plugin/entry_points.h"
#include "plugin/plugin_id.h"
#include "tests/plugin/allocation_probe.h"

namespace {

class PluginId : public ::testing::Test {
protected:
    void TearDown() override { ts3plugin_shutdown(); }
};

TEST_F(PluginId, IsNullUntilRegisteredAndAfterShutdown) {
    ts3plugin_shutdown();
    EXPECT_EQ(wt::registeredPluginId(), nullptr);
    ts3plugin_registerPluginID("id-1");
    ASSERT_NE(wt::registeredPluginId(), nullptr);
    ts3plugin_shutdown();
    EXPECT_EQ(wt::registeredPluginId(), nullptr);
}

TEST_F(PluginId, KeepsItsOwnCopy) {
    std::string id = "client-given";
    ts3plugin_registerPluginID(id.c_str());
    id.assign(id.size(), '#');
    EXPECT_STREQ(wt::registeredPluginId(), "client-given");
}

TEST_F(PluginId, ASecondRegistrationReplacesAndReleasesTheFirst) {
    wt::test::AllocationProbe allocations;
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    ts3plugin_registerPluginID("first");
    ts3plugin_registerPluginID("second");
    EXPECT_STREQ(wt::registeredPluginId(), "second");
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
    EXPECT_EQ(wt::registeredPluginId(), nullptr);  // neither the old nor a dangling one
}

TEST_F(PluginId, ANullIdentifierKeepsNothing) {
    ts3plugin_registerPluginID("earlier");
    ts3plugin_registerPluginID(nullptr);
    EXPECT_EQ(wt::registeredPluginId(), nullptr);
}

}  // namespace

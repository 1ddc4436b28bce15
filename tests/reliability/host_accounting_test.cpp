// Every test that loads the plugin ends with the test host's accounts settled. The
// settling itself must not go quiet, or leaks of host texts would pass unseen.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/testhost/test_host.h"

namespace {

using wt::testhost::HostFunction;
using wt::testhost::TestHost;

// A host text handed out (as the plugin would receive it) and never given back.
void keepAHostText() {
    TestHost host;
    host.setText(HostFunction::getClientLibVersion, "3.6.1");
    char* version = nullptr;
    host.functionTable().get<HostFunction::getClientLibVersion>()(&version);
}

// A pointer the host never handed out, given back to it.
void giveBackAForeignPointer() {
    TestHost host;
    char foreign[8] = {};
    host.functionTable().get<HostFunction::freeMemory>()(foreign);
}

TEST(HostAccounting, TheTestFailsWhenTheHostGoesWithItsAccountsOpen) {
    EXPECT_NONFATAL_FAILURE(keepAHostText(), "never given back through freeMemory");
    EXPECT_NONFATAL_FAILURE(giveBackAForeignPointer(), "a pointer the host never handed out");
}

}  // namespace

// Settling the test host's accounts as GoogleTest assertions: what the plugin received
// from the client must all have come back through freeMemory, and nothing else.

#include <gtest/gtest.h>

#include "tests/testhost/test_host.h"

namespace wt::testhost {

void TestHost::expectNothingOutstanding() const {
    EXPECT_EQ(outstandingAllocations(), 0u)
        << "host texts or ID lists handed to the plugin and never given back through freeMemory";
    EXPECT_EQ(unknownFrees(), 0u) << "freeMemory calls with a pointer the host never handed out";
}

}  // namespace wt::testhost

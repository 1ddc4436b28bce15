#pragma once

// The fake client's 30 host functions. They carry no context, so each reaches the TestHost
// attached last that is still alive.

#include "host/host_functions.h"

namespace wt::testhost {

class TestHost;

// Each host function's slot points at the fake client's function; the reserved slots are
// null.
HostFunctions fakeClientTable();

void attachHost(TestHost* host);
void detachHost(TestHost* host);

}  // namespace wt::testhost

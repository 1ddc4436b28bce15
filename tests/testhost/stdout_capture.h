#pragma once

// Captures what a call writes to the process's standard output (file descriptor 1):
// pending output is flushed before, the descriptor is pointed at a temporary file for the
// call, flushed again and restored after.

#include <functional>
#include <string>

namespace wt::testhost {

// Runs `call` and returns everything it wrote to standard output. Not reentrant; at most
// one capture at a time in the process.
std::string captureStdout(const std::function<void()>& call);

}  // namespace wt::testhost

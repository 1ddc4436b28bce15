#pragma once

// Captures what a call writes to the process's standard output (file descriptor 1):
// pending output is flushed before, the descriptor is pointed at a temporary file for the
// call, flushed again and restored after.
//
// On Windows the call sees standard output in the mode the process has it in (text mode
// by default, which writes "\n" as CRLF); the captured text has CRLF read as "\n", so
// tests compare lines as on Linux. A call that changes the mode of standard output gets
// a line saying so appended to its output, which no expected output contains.

#include <functional>
#include <string>

namespace wt::test {

// Runs `call` and returns everything it wrote to standard output. Not reentrant; at most
// one capture at a time in the process.
std::string captureStdout(const std::function<void()>& call);

}  // namespace wt::test

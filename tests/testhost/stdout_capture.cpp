#include "tests/testhost/stdout_capture.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define WT_DUP _dup
#define WT_DUP2 _dup2
#define WT_CLOSE _close
#define WT_FILENO _fileno
#else
#include <unistd.h>
#define WT_DUP dup
#define WT_DUP2 dup2
#define WT_CLOSE close
#define WT_FILENO fileno
#endif

namespace wt::testhost {

std::string captureStdout(const std::function<void()>& call) {
    std::FILE* sink = std::tmpfile();
    const int saved = sink != nullptr ? WT_DUP(WT_FILENO(stdout)) : -1;
    if (saved < 0) {
        // Nothing to capture into: still make the call, report no output.
        if (sink != nullptr) std::fclose(sink);
        call();
        return {};
    }
    std::fflush(stdout);
    WT_DUP2(WT_FILENO(sink), WT_FILENO(stdout));
    call();
    std::fflush(stdout);
    WT_DUP2(saved, WT_FILENO(stdout));
    WT_CLOSE(saved);

    std::string output;
    std::rewind(sink);
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, sink)) > 0;) output.append(chunk, n);
    std::fclose(sink);
    return output;
}

}  // namespace wt::testhost

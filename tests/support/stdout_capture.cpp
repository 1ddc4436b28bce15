#include "tests/support/stdout_capture.h"

#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
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

namespace wt::test {

namespace {

#if defined(_WIN32)
// The Windows C runtime keeps a text or binary mode per descriptor, and _dup2 gives
// descriptor 1 the temporary file's binary mode. The call has to see the mode the
// process's standard output really has, as it would in the client: in text mode every
// "\n" the plugin prints reaches the file as CRLF.
constexpr char kModeChanged[] = "[standard output mode changed during the call]\n";

int descriptorMode(int fd) {
    const int mode = _setmode(fd, _O_BINARY);
    _setmode(fd, mode);
    return mode;
}

// What was written, lines compared as on Linux: CRLF is read as "\n".
std::string asLines(std::string raw) {
    std::string lines;
    lines.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        lines += raw[i];
    }
    return lines;
}
#endif

}  // namespace

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
#if defined(_WIN32)
    const int mode = descriptorMode(WT_FILENO(stdout));
    WT_DUP2(WT_FILENO(sink), WT_FILENO(stdout));
    _setmode(WT_FILENO(stdout), mode);
#else
    WT_DUP2(WT_FILENO(sink), WT_FILENO(stdout));
#endif
    call();
    std::fflush(stdout);
#if defined(_WIN32)
    // The plugin must leave the host's standard output as it found it.
    const bool modeChanged = descriptorMode(WT_FILENO(stdout)) != mode;
#endif
    WT_DUP2(saved, WT_FILENO(stdout));
    WT_CLOSE(saved);

    std::string output;
    std::rewind(sink);
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, sink)) > 0;) output.append(chunk, n);
    std::fclose(sink);
#if defined(_WIN32)
    output = asLines(output);
    if (modeChanged) output += kModeChanged;
#endif
    return output;
}

}  // namespace wt::test

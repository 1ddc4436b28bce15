#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "tools/session/platform.h"

namespace wt::session::platform {

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string exe(path, static_cast<size_t>(length));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

std::FILE* setAsidePluginConsole(bool show) {
    std::fflush(stdout);
    const int original = dup(STDOUT_FILENO);
    const int target = show ? dup(STDERR_FILENO) : open("/dev/null", O_WRONLY);
    if (original < 0 || target < 0) {
        // Nothing moved: the plugin's lines stay mixed into standard output.
        if (original >= 0) close(original);
        if (target >= 0) close(target);
        return stdout;
    }
    dup2(target, STDOUT_FILENO);
    close(target);
    std::FILE* results = fdopen(original, "w");
    return results != nullptr ? results : stdout;
}

}  // namespace wt::session::platform

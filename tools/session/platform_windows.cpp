#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/session/platform.h"

namespace wt::session::platform {

std::string executableDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    const std::string exe(path, length);
    const size_t separator = exe.find_last_of("/\\");
    return separator == std::string::npos ? "." : exe.substr(0, separator);
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::FILE* setAsidePluginConsole(bool show) {
    std::fflush(stdout);
    const int original = _dup(_fileno(stdout));
    const int target = show ? _dup(_fileno(stderr)) : _open("NUL", _O_WRONLY);
    if (original < 0 || target < 0) {
        if (original >= 0) _close(original);
        if (target >= 0) _close(target);
        return stdout;
    }
    _dup2(target, _fileno(stdout));
    _close(target);
    std::FILE* results = _fdopen(original, "w");
    return results != nullptr ? results : stdout;
}

}  // namespace wt::session::platform

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/render/platform.h"

namespace wt::render::platform {

namespace {

std::string lastErrorText() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

}  // namespace

void* openLibrary(const std::string& path, std::string& error) {
    // LoadLibrary searches the system path for a bare name; a user means the file.
    const bool bare = path.find_first_of("/\\") == std::string::npos;
    const std::string file = bare ? ".\\" + path : path;
    HMODULE library = LoadLibraryA(file.c_str());
    if (library == nullptr) error = lastErrorText();
    return reinterpret_cast<void*>(library);
}

void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string executableDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    const std::string exe(path, length);
    const size_t separator = exe.find_last_of("/\\");
    return separator == std::string::npos ? "." : exe.substr(0, separator);
}

bool isTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

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

}  // namespace wt::render::platform

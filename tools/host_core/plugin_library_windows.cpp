#include <windows.h>

#include "tools/host_core/plugin_library.h"

namespace wt::hostcore {

namespace {

std::string lastErrorText() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

}  // namespace

void* openLibrary(const std::string& path, std::string* error) {
    // LoadLibrary searches the system path for a bare name; a caller means the file.
    const bool bare = path.find_first_of("/\\") == std::string::npos;
    const std::string file = bare ? ".\\" + path : path;
    HMODULE library = LoadLibraryA(file.c_str());
    if (library == nullptr && error != nullptr) *error = lastErrorText();
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

long processId() {
    return static_cast<long>(GetCurrentProcessId());
}

}  // namespace wt::hostcore

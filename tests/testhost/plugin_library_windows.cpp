#include <windows.h>

#include "tests/testhost/plugin_library.h"

namespace wt::testhost {

void* openLibrary(const std::string& path, std::string* error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr && error != nullptr) {
        *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

long processId() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace wt::testhost

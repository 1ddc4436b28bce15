#include <dlfcn.h>
#include <unistd.h>

#include "tests/testhost/plugin_library.h"

namespace wt::testhost {

void* openLibrary(const std::string& path, std::string* error) {
    // RTLD_NOW: a missing symbol fails here, not at the first call into the plugin.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && error != nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : "dlopen failed";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}

void closeLibrary(void* library) {
    if (library != nullptr) dlclose(library);
}

long processId() { return static_cast<long>(getpid()); }

}  // namespace wt::testhost

#include <dlfcn.h>
#include <unistd.h>

#include "tools/host_core/plugin_library.h"

namespace wt::hostcore {

void* openLibrary(const std::string& path, std::string* error) {
    // dlopen searches the library path for a name without a slash; a caller means the file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && error != nullptr) {
        const char* message = dlerror();
        *error = message != nullptr ? message : "unknown loader error";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}

void closeLibrary(void* library) {
    if (library != nullptr) dlclose(library);
}

long processId() {
    return static_cast<long>(getpid());
}

}  // namespace wt::hostcore

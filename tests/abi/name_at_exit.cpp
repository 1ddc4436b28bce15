// A client that keeps the plugin's name and reads it in its own exit-time code, with the
// library still loaded: the name must still be there. Registered before the library is
// loaded, the handler below runs after anything the library registers with the same
// exit chain. Exits 0 when the name read at exit is the name; a sanitizer or memcheck
// reports a read of released memory.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/testhost/test_host.h"
#include "tools/host_core/plugin_library.h"

namespace {

constexpr char kName[] = "MOR-LEX Wacky Throats 1.0";

const char* keptName = nullptr;

void readKeptNameAtExit() {
    if (std::strcmp(keptName, kName) != 0) {
        std::fprintf(stderr, "the kept name reads \"%.40s\" at exit\n", keptName);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

}  // namespace

int main() {
    if (std::atexit(readKeptNameAtExit) != 0) return 2;
    std::string error;
    void* library = wt::hostcore::openLibrary(wt::testhost::builtPluginPath(), &error);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load the plugin: %s\n", error.c_str());
        return 2;
    }
    const auto name = WT_ENTRY_POINT(library, name);
    if (name == nullptr) return 2;
    keptName = name();
    if (keptName == nullptr || std::strcmp(keptName, kName) != 0) return 3;
    return 0;  // the library stays loaded as the process ends
}

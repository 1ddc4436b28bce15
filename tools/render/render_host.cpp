#include "tools/render/render_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "host/host.h"

namespace wt::render {

namespace {

// Result of a host call the tool cannot answer; never success.
constexpr unsigned int kHostFailed = 1;

constexpr const char* kClientLibVersion = "wacky-render host";

struct HostState {
    std::mutex lock;  // the plugin may call from any thread it is called on
    HostPaths paths;
    bool showLog = false;
    std::set<void*> handedOut;
    size_t foreignFrees = 0;

    // What the plugin never gave back is the host's to release when the host goes.
    ~HostState() {
        for (void* block : handedOut) std::free(block);
    }
};

HostState& state() {
    static HostState instance;
    return instance;
}

unsigned int copyPath(const std::string& from, char* path, size_t maxLen) {
    if (path == nullptr || maxLen == 0) return kHostFailed;
    std::snprintf(path, maxLen, "%s", from.c_str());
    return host::kOk;
}

extern "C" unsigned int hostGetAppPath(char* path, size_t maxLen) {
    return copyPath(state().paths.app, path, maxLen);
}

extern "C" unsigned int hostGetResourcesPath(char* path, size_t maxLen) {
    return copyPath(state().paths.resources, path, maxLen);
}

extern "C" unsigned int hostGetConfigPath(char* path, size_t maxLen) {
    return copyPath(state().paths.config, path, maxLen);
}

extern "C" unsigned int hostGetPluginPath(char* path, size_t maxLen) {
    return copyPath(state().paths.plugins, path, maxLen);
}

// Owned by the plugin after return; released with freeMemory.
extern "C" unsigned int hostGetClientLibVersion(char** result) {
    if (result == nullptr) return kHostFailed;
    const size_t size = std::strlen(kClientLibVersion) + 1;
    char* text = static_cast<char*>(std::malloc(size));
    if (text == nullptr) return kHostFailed;
    std::memcpy(text, kClientLibVersion, size);
    HostState& host = state();
    const std::lock_guard guard(host.lock);
    host.handedOut.insert(text);
    *result = text;
    return host::kOk;
}

extern "C" unsigned int hostFreeMemory(void* pointer) {
    if (pointer == nullptr) return host::kOk;
    HostState& host = state();
    const std::lock_guard guard(host.lock);
    if (host.handedOut.erase(pointer) == 0) {
        // Not ours: releasing it would corrupt some other heap. Count it instead.
        ++host.foreignFrees;
        return kHostFailed;
    }
    std::free(pointer);
    return host::kOk;
}

extern "C" unsigned int hostLogMessage(const char* message, int severity, const char* channel,
                                       uint64_t logID) {
    HostState& host = state();
    if (host.showLog)
        std::fprintf(stderr, "log %s [%d] %llu: %s\n", channel != nullptr ? channel : "",
                     severity, static_cast<unsigned long long>(logID),
                     message != nullptr ? message : "");
    return host::kOk;
}

}  // namespace

HostFunctions makeHostFunctions(const HostPaths& paths, bool showLog) {
    HostState& host = state();
    {
        const std::lock_guard guard(host.lock);
        host.paths = paths;
        host.showLog = showLog;
    }
    HostFunctions table{};
    table.getAppPath = hostGetAppPath;
    table.getResourcesPath = hostGetResourcesPath;
    table.getConfigPath = hostGetConfigPath;
    table.getPluginPath = hostGetPluginPath;
    table.getClientLibVersion = hostGetClientLibVersion;
    table.freeMemory = hostFreeMemory;
    table.logMessage = hostLogMessage;
    return table;
}

HostLedger hostLedger() {
    HostState& host = state();
    const std::lock_guard guard(host.lock);
    return {host.handedOut.size(), host.foreignFrees};
}

}  // namespace wt::render

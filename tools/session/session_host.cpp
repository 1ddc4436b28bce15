#include "tools/session/session_host.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "host/host.h"
#include "tools/host_core/block_ledger.h"

namespace wt::session {

namespace {

// Result of a host call the tool cannot answer; never success.
constexpr unsigned int kHostFailed = 1;

struct HostState {
    std::mutex lock;  // the plugin may call from any thread it is called on
    HostPaths paths;
    std::string clientLibVersion;  // "<tool> host"
    bool showLog = false;
    // What the plugin never gave back is the host's to release when the host goes.
    hostcore::BlockLedger ledger;
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
    HostState& host = state();
    void* text =
        host.ledger.handOut(host.clientLibVersion.c_str(), host.clientLibVersion.size() + 1);
    if (text == nullptr) return kHostFailed;
    *result = static_cast<char*>(text);
    return host::kOk;
}

extern "C" unsigned int hostFreeMemory(void* pointer) {
    // A pointer that is not ours is counted, not released.
    return state().ledger.giveBack(pointer).kind == hostcore::GivenBack::Unknown ? kHostFailed
                                                                                 : host::kOk;
}

extern "C" unsigned int hostLogMessage(const char* message, int severity, const char* channel,
                                       uint64_t logID) {
    HostState& host = state();
    if (host.showLog)
        std::fprintf(stderr, "log %s [%d] %llu: %s\n", channel != nullptr ? channel : "", severity,
                     static_cast<unsigned long long>(logID), message != nullptr ? message : "");
    return host::kOk;
}

}  // namespace

HostFunctions makeHostFunctions(const HostPaths& paths, bool showLog, const std::string& toolName) {
    HostState& host = state();
    {
        const std::lock_guard guard(host.lock);
        host.paths = paths;
        host.showLog = showLog;
        host.clientLibVersion = toolName + " host";
    }
    HostFunctions table{};
    table.set<HostFunction::getAppPath>(hostGetAppPath);
    table.set<HostFunction::getResourcesPath>(hostGetResourcesPath);
    table.set<HostFunction::getConfigPath>(hostGetConfigPath);
    table.set<HostFunction::getPluginPath>(hostGetPluginPath);
    table.set<HostFunction::getClientLibVersion>(hostGetClientLibVersion);
    table.set<HostFunction::freeMemory>(hostFreeMemory);
    table.set<HostFunction::logMessage>(hostLogMessage);
    return table;
}

HostLedger hostLedger() {
    const HostState& host = state();
    return {host.ledger.outstanding(), host.ledger.unknownGivenBack()};
}

}  // namespace wt::session

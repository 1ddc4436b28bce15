#include "tools/session/plugin_session.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "host/host_functions.h"
#include "host/plugin_records.h"
#include "tools/host_core/plugin_library.h"
#include "tools/session/exit_codes.h"
#include "tools/session/platform.h"
#include "tools/session/session_host.h"

namespace wt::session {

namespace {

// The one server tab the tool pretends to have; it is never connected.
inline constexpr uint64_t kConnection = 1;
// A list longer than this is no menu but a missing terminator.
inline constexpr size_t kMaxMenuItems = 1024;

std::string directoryOf(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? "." : path.substr(0, separator);
}

}  // namespace

// The entry points a session uses, in the order they are resolved.
// clang-format off
#define WT_SESSION_ENTRY_POINTS(X) \
    X(apiVersion) \
    X(setFunctionPointers) \
    X(init) \
    X(registerPluginID) \
    X(initMenus) \
    X(onMenuItemEvent) \
    X(onEditCapturedVoiceDataEvent) \
    X(freeMemory) \
    X(shutdown)

// clang-format on

struct PluginSession::EntryPoints {
#define WT_POINTER(name) decltype(&ts3plugin_##name) name;
    WT_SESSION_ENTRY_POINTS(WT_POINTER)
#undef WT_POINTER
};

namespace {

template <typename Function>
void require(Function function, const char* name) {
    if (function == nullptr)
        throw ToolError{ExitCode::EntryPointMissing,
                        std::string("the plugin has no entry point ts3plugin_") + name};
}

}  // namespace

PluginSession::PluginSession(const std::string& path, bool showPluginLog,
                             const std::string& toolName)
    : toolName_(toolName) {
    std::string loaderMessage;
    library_ = hostcore::openLibrary(path, &loaderMessage);
    if (library_ == nullptr)
        throw ToolError{ExitCode::PluginNotLoadable,
                        "cannot load the plugin " + path + ": " + loaderMessage};
    auto entry = std::make_unique<EntryPoints>();
    try {
#define WT_RESOLVE(name)                          \
    entry->name = WT_ENTRY_POINT(library_, name); \
    require(entry->name, #name);
        WT_SESSION_ENTRY_POINTS(WT_RESOLVE)
#undef WT_RESOLVE
        if (const int version = entry->apiVersion(); version != hostcore::kInterfaceVersion)
            throw ToolError{ExitCode::PluginNotLoadable,
                            "the plugin " + path + " speaks interface version " +
                                std::to_string(version) + "; this tool speaks " +
                                std::to_string(hostcore::kInterfaceVersion)};
    } catch (...) {
        hostcore::closeLibrary(library_);
        throw;
    }

    const std::string here = platform::executableDirectory();
    entry->setFunctionPointers(
        makeHostFunctions({here, here, here, directoryOf(path)}, showPluginLog, toolName));
    if (const int result = entry->init(); result != 0) {
        // The client unloads a plugin whose init fails, without a shutdown.
        hostcore::closeLibrary(library_);
        throw ToolError{
            ExitCode::PluginNotLoadable,
            "the plugin failed to start: ts3plugin_init returned " + std::to_string(result)};
    }
    entry_ = std::move(entry);
    entry_->registerPluginID(toolName_.c_str());

    PluginMenuItem** items = nullptr;
    char* icon = nullptr;
    entry_->initMenus(&items, &icon);
    if (items != nullptr) {
        for (size_t i = 0; i < kMaxMenuItems && items[i] != nullptr; ++i) {
            const PluginMenuItem* item = items[i];
            if (item->type == kMenuTypeGlobal)
                menu_.push_back(
                    {item->id, std::string(item->text, strnlen(item->text, kMenuTextSize))});
            entry_->freeMemory(items[i]);
        }
        entry_->freeMemory(items);
    }
    entry_->freeMemory(icon);
}

PluginSession::~PluginSession() {
    entry_->shutdown();
    hostcore::closeLibrary(library_);
    const HostLedger ledger = hostLedger();
    if (ledger.outstanding != 0)
        std::fprintf(stderr,
                     "%s: warning: the plugin never released %zu block(s) the host handed it\n",
                     toolName_.c_str(), ledger.outstanding);
    if (ledger.foreignFrees != 0)
        std::fprintf(stderr,
                     "%s: warning: the plugin asked the host to free %zu pointer(s) the host "
                     "never handed out\n",
                     toolName_.c_str(), ledger.foreignFrees);
}

void PluginSession::pressMenuItem(int32_t id) {
    entry_->onMenuItemEvent(kConnection, kMenuTypeGlobal, id, 0);
}

void PluginSession::captureVoice(int16_t* samples, int frames) {
    int edited = 0;
    entry_->onEditCapturedVoiceDataEvent(kConnection, samples, frames, 1, &edited);
}

}  // namespace wt::session

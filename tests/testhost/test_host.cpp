#include "tests/testhost/test_host.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tests/support/stdout_capture.h"
#include "tests/testhost/fake_client.h"
#include "tools/host_core/plugin_library.h"

namespace wt::testhost {

namespace {

// A fresh file name per instance: the platform loader hands out an already loaded library
// again, state and all, when asked for the same file twice.
std::string privateCopy(const std::string& path, std::string* error) {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    const fs::path source(path);
    const fs::path copy =
        fs::temp_directory_path() / ("wt_plugin_" + std::to_string(hostcore::processId()) + "_" +
                                     std::to_string(counter++) + source.extension().string());
    std::error_code failure;
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing, failure);
    if (failure) {
        *error = "cannot copy " + path + ": " + failure.message();
        return {};
    }
    return copy.string();
}

std::string boundedText(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

}  // namespace

std::string builtPluginPath() {
    if (const char* path = std::getenv("WT_PLUGIN_PATH"); path != nullptr && *path != '\0') {
        return path;
    }
    return WT_BUILT_PLUGIN_PATH;
}

TestHost::TestHost(const std::string& libraryPath) {
    libraryCopy_ = privateCopy(libraryPath, &loadError_);
    if (!libraryCopy_.empty()) library_ = hostcore::openLibrary(libraryCopy_, &loadError_);
    attachHost(this);
    if (library_ == nullptr) return;

#define WT_RESOLVE(name) plugin.name = WT_ENTRY_POINT(library_, name);
    WT_TEST_HOST_ENTRY_POINTS(WT_RESOLVE)
#undef WT_RESOLVE
}

TestHost::~TestHost() {
    // As the client unloads a plugin: shutdown first, so that what the plugin keeps until
    // then (its identifier) is released before its code goes.
    if (plugin.shutdown != nullptr) test::captureStdout([&] { plugin.shutdown(); });
    detachHost(this);
    expectNothingOutstanding();
    hostcore::closeLibrary(library_);
    if (!libraryCopy_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(libraryCopy_, ignored);
    }
}

void* TestHost::symbol(const char* name) const {
    return hostcore::librarySymbol(library_, name);
}

HostFunctions TestHost::functionTable() const {
    return fakeClientTable();
}

CallOutcome TestHost::start(const char* pluginId) {
    return run([&] {
        plugin.setFunctionPointers(functionTable());
        plugin.init();
        plugin.registerPluginID(pluginId);
    });
}

CallOutcome TestHost::run(const std::function<void()>& call) {
    size_t before = 0;
    {
        std::lock_guard lock(mutex_);
        before = calls_.size();
    }
    CallOutcome outcome;
    outcome.output = test::captureStdout(call);
    std::lock_guard lock(mutex_);
    outcome.hostCalls.assign(calls_.begin() + static_cast<std::ptrdiff_t>(before), calls_.end());
    return outcome;
}

// ---- scripting ----

void TestHost::setResult(HostFunction function, unsigned int code) {
    std::lock_guard lock(mutex_);
    defaultResults_[static_cast<int>(function)] = code;
}

void TestHost::setResult(HostFunction function, uint64_t handler, unsigned int code) {
    std::lock_guard lock(mutex_);
    results_[{static_cast<int>(function), handler}] = code;
}

void TestHost::setKeyedResult(HostFunction function, uint64_t key, unsigned int code) {
    std::lock_guard lock(mutex_);
    keyedResults_[{static_cast<int>(function), key}] = code;
}

void TestHost::setText(HostFunction function, std::string text) {
    std::lock_guard lock(mutex_);
    defaultTexts_[static_cast<int>(function)] = std::move(text);
}

void TestHost::setText(HostFunction function, uint64_t key, std::string text) {
    std::lock_guard lock(mutex_);
    texts_[{static_cast<int>(function), key}] = std::move(text);
}

void TestHost::setIds(HostFunction function, std::vector<uint64_t> ids) {
    std::lock_guard lock(mutex_);
    defaultIdLists_[static_cast<int>(function)] = std::move(ids);
}

void TestHost::setIds(HostFunction function, uint64_t handler, std::vector<uint64_t> ids) {
    std::lock_guard lock(mutex_);
    idLists_[{static_cast<int>(function), handler}] = std::move(ids);
}

void TestHost::setNumber(HostFunction function, uint64_t value) {
    std::lock_guard lock(mutex_);
    defaultNumbers_[static_cast<int>(function)] = value;
}

void TestHost::setNumber(HostFunction function, uint64_t key, uint64_t value) {
    std::lock_guard lock(mutex_);
    numbers_[{static_cast<int>(function), key}] = value;
}

void TestHost::onCall(HostFunction function, std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    hooks_[static_cast<int>(function)] = std::move(hook);
}

// ---- observing ----

std::vector<std::string> TestHost::hostCalls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void TestHost::clearHostCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

size_t TestHost::outstandingAllocations() const {
    return ledger_.outstanding();
}

size_t TestHost::unknownFrees() const {
    return ledger_.unknownGivenBack();
}

// ---- blocks the plugin hands over ----

void TestHost::giveBack(void* block) {
    plugin.freeMemory(block);
    ++blocksGivenBack_;
}

Menus TestHost::takeMenus() {
    PluginMenuItem** list = nullptr;
    char* icon = nullptr;
    plugin.initMenus(&list, &icon);
    Menus menus;
    if (list != nullptr) {
        menus.listHandedOver = true;
        for (PluginMenuItem** item = list; *item != nullptr; ++item) {
            const PluginMenuItem& record = **item;
            menus.items.push_back({record.type, record.id,
                                   boundedText(record.text, sizeof record.text),
                                   boundedText(record.icon, sizeof record.icon)});
            giveBack(*item);
        }
        giveBack(list);
    }
    if (icon != nullptr) {
        menus.icon = boundedText(icon, kMenuIconSize);
        giveBack(icon);
    }
    return menus;
}

std::optional<std::vector<HotkeyRecord>> TestHost::takeHotkeys() {
    PluginHotkey** list = nullptr;
    plugin.initHotkeys(&list);
    if (list == nullptr) return std::nullopt;
    std::vector<HotkeyRecord> hotkeys;
    for (PluginHotkey** hotkey = list; *hotkey != nullptr; ++hotkey) {
        hotkeys.push_back({boundedText((*hotkey)->keyword, sizeof(*hotkey)->keyword),
                           boundedText((*hotkey)->description, sizeof(*hotkey)->description)});
        giveBack(*hotkey);
    }
    giveBack(list);
    return hotkeys;
}

std::optional<std::string> TestHost::takeInfoData(uint64_t handler, uint64_t id, int type) {
    char* data = nullptr;
    plugin.infoData(handler, id, type, &data);
    if (data == nullptr) return std::nullopt;
    std::string text(data);
    giveBack(data);
    return text;
}

// ---- used by the host functions ----

void TestHost::record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

unsigned int TestHost::result(HostFunction function, std::optional<uint64_t> handler,
                              std::optional<uint64_t> key) const {
    std::lock_guard lock(mutex_);
    const int f = static_cast<int>(function);
    if (key) {
        if (auto it = keyedResults_.find({f, *key}); it != keyedResults_.end()) return it->second;
    }
    if (handler) {
        if (auto it = results_.find({f, *handler}); it != results_.end()) return it->second;
    }
    auto it = defaultResults_.find(f);
    return it != defaultResults_.end() ? it->second : 0;
}

template <typename Keyed, typename Defaults>
static auto lookUp(const Keyed& keyed, const Defaults& defaults, int function,
                   std::optional<uint64_t> key) -> std::optional<typename Defaults::mapped_type> {
    if (key) {
        if (auto it = keyed.find({function, *key}); it != keyed.end()) return it->second;
    }
    if (auto it = defaults.find(function); it != defaults.end()) return it->second;
    return std::nullopt;
}

std::optional<std::string> TestHost::text(HostFunction function,
                                          std::optional<uint64_t> key) const {
    std::lock_guard lock(mutex_);
    return lookUp(texts_, defaultTexts_, static_cast<int>(function), key);
}

std::optional<std::vector<uint64_t>> TestHost::ids(HostFunction function,
                                                   std::optional<uint64_t> handler) const {
    std::lock_guard lock(mutex_);
    return lookUp(idLists_, defaultIdLists_, static_cast<int>(function), handler);
}

std::optional<uint64_t> TestHost::number(HostFunction function, std::optional<uint64_t> key) const {
    std::lock_guard lock(mutex_);
    return lookUp(numbers_, defaultNumbers_, static_cast<int>(function), key);
}

std::function<void()> TestHost::hook(HostFunction function) const {
    std::lock_guard lock(mutex_);
    auto it = hooks_.find(static_cast<int>(function));
    return it != hooks_.end() ? it->second : std::function<void()>{};
}

std::string TestHost::takeBack(void* pointer) {
    const hostcore::GiveBackResult given = ledger_.giveBack(pointer);
    switch (given.kind) {
        case hostcore::GivenBack::Null:
            return "null";
        case hostcore::GivenBack::Unknown:
            return "unknown";
        case hostcore::GivenBack::Released:
            break;
    }
    return "#" + std::to_string(given.serial);
}

}  // namespace wt::testhost

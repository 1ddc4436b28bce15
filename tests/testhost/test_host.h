#pragma once

// A scriptable fake client that loads the BUILT plugin library at run time, as the real
// client does, and drives it through its exported entry points.
//
// Loading
//   TestHost host;               // loads a private copy of the built library (see below)
//   ASSERT_TRUE(host.loaded()) << host.loadError();
//   Each TestHost loads its own copy of the file, so every instance starts from the
//   library's load state (no effect, no identifier, empty rings) whatever ran before.
//   The library path is $WT_PLUGIN_PATH when set, else the one the build compiled in.
//   The destructor unloads it as the client does: ts3plugin_shutdown (its output is
//   dropped), then the library is closed.
//
// Calling the plugin
//   host.plugin.init()           typed pointers to the 31 entry points that do work; null
//                                when the library does not export one
//   host.entry<Fn>("ts3plugin_x") any exported symbol as a function pointer of type Fn
//   host.start()                 setFunctionPointers + init + registerPluginID(kTestPluginId)
//   CallOutcome o = host.run([&] { ... });
//       o.output     what the plugin printed to standard output during the call
//       o.hostCalls  every host function the plugin called during it, in order
//
// Host calls are recorded as text, one string per call, arguments in the order of the
// host function, so tests compare them exactly:
//   logMessage("Text", 4, "Plugin", 1)      texts quoted, C escapes for \ " and control bytes
//   getAppPath(buf, 512)                    a buffer the host writes into: buf (or null)
//   getClientID(1, out)                     an out-pointer: out (or null)
//   requestChannelSubscribe(1, [7], "rc")   an ID array passed in, up to its 0 entry
//   freeMemory(#3)                          the 3rd block the host handed out
//   freeMemory(null), freeMemory(unknown)   null, or a pointer the host never handed out
//
// Scripting the client: every host function succeeds (returns 0) unless told otherwise.
//   setResult(f, code)               result of f for every call
//   setResult(f, handler, code)      result of f when called for that handler ID (first
//                                    argument); overrides the one above
//   setKeyedResult(f, key, code)     result of f when called for that key (the keys of
//                                    setText, and the client ID for getChannelOfClient);
//                                    overrides both above
//   setText(f, text)                 text f hands out or writes into its buffer
//   setText(f, key, text)            text for one key; overrides the one above. Key:
//                                      getClientSelfVariableAsString, getServerVariableAsString:
//                                      flag getClientVariableAsString, getClientDisplayName,
//                                      getAvatar: client ID
//                                      getChannelVariableAsString, getChannelConnectInfo: channel
//                                      ID
//   setIds(f, ids) / setIds(f, handler, ids)   getChannelList, getServerConnectionHandlerList
//   setNumber(f, value) / setNumber(f, key, value)  getClientID (own ID), getChannelOfClient
//                                    (key: client ID), getCurrentServerConnectionHandlerID,
//                                    getServerConnectInfo (port)
//   A host function writes only when it returns 0 and has something to give: with no text
//   set, a buffer is left unwritten and an out-pointer is left as it was. A buffer write
//   ends with the terminator when it fits in maxLen; a longer text fills all maxLen bytes
//   without one. Every string and ID list handed out is malloc-ed
//   and counted until it comes back through freeMemory: outstandingAllocations() is the
//   number not yet given back (a leak when a call is over), unknownFrees() the number of
//   freeMemory calls with a pointer the host never handed out (those are not freed).
//   Every TestHost settles these accounts when it is destroyed: anything outstanding, or
//   any unknown pointer given back, fails the test that used it (expectNothingOutstanding).
//
// Interleaving client threads:
//   onCall(f, hook)                  runs hook inside every call of f, on the thread the
//                                    plugin called from, before f reads an argument or
//                                    records the call; an empty hook removes it. A hook
//                                    that waits holds the plugin there while the test
//                                    drives it from another thread.
//
// Blocks the plugin hands over: the take* helpers call the entry point, copy what was
// handed over, and give every block back through ts3plugin_freeMemory, one call per block;
// blocksGivenBack() counts those calls.
//
// Host functions are plain C functions with no context, so they reach the most recently
// created TestHost that is still alive. The recorder and the allocation counts are safe to
// use from several threads; run() captures standard output and is not reentrant.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_functions.h"
#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "tools/host_core/block_ledger.h"

namespace wt::testhost {

inline constexpr const char* kTestPluginId = "wt-test-plugin-id";

// The host functions by name, in list order.
using HostFunction = ::HostFunction;

inline constexpr int kHostFunctionCount = static_cast<int>(kHostFunctionsUsed);

// The host function's name, as host calls are recorded.
const char* hostFunctionName(HostFunction function);

// The built library: $WT_PLUGIN_PATH, else the path compiled in.
std::string builtPluginPath();

// The entry points that do work, by name without the ts3plugin_ prefix.
// clang-format off
#define WT_TEST_HOST_ENTRY_POINTS(X) \
    X(name) \
    X(version) \
    X(apiVersion) \
    X(author) \
    X(description) \
    X(setFunctionPointers) \
    X(init) \
    X(shutdown) \
    X(registerPluginID) \
    X(freeMemory) \
    X(requestAutoload) \
    X(offersConfigure) \
    X(configure) \
    X(commandKeyword) \
    X(processCommand) \
    X(infoTitle) \
    X(infoData) \
    X(initMenus) \
    X(initHotkeys) \
    X(onMenuItemEvent) \
    X(onHotkeyEvent) \
    X(onHotkeyRecordedEvent) \
    X(onConnectStatusChangeEvent) \
    X(onEditCapturedVoiceDataEvent) \
    X(onClientPokeEvent) \
    X(onTalkStatusChangeEvent) \
    X(onTextMessageEvent) \
    X(onServerErrorEvent) \
    X(onAvatarUpdated) \
    X(onPluginCommandEvent) \
    X(currentServerConnectionChanged)

// clang-format on

// Typed as plugin/entry_points.h declares them.
struct EntryPoints {
#define WT_ENTRY_POINTER(name) decltype(&ts3plugin_##name) name;
    WT_TEST_HOST_ENTRY_POINTS(WT_ENTRY_POINTER)
#undef WT_ENTRY_POINTER
};

struct CallOutcome {
    std::string output;                  // standard output of the call
    std::vector<std::string> hostCalls;  // host calls made during it, in order
};

struct MenuRecord {
    int32_t type;
    int32_t id;
    std::string text;
    std::string icon;
    bool operator==(const MenuRecord&) const = default;
};

struct Menus {
    bool listHandedOver = false;  // *menuItems was not null
    std::vector<MenuRecord> items;
    std::optional<std::string> icon;  // the menu icon name, when handed over
};

struct HotkeyRecord {
    std::string keyword;
    std::string description;
    bool operator==(const HotkeyRecord&) const = default;
};

class TestHost {
  public:
    explicit TestHost(const std::string& libraryPath = builtPluginPath());
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    bool loaded() const { return library_ != nullptr; }

    const std::string& loadError() const { return loadError_; }

    // Null when the library does not export `name`.
    void* symbol(const char* name) const;

    template <typename Fn>
    Fn entry(const char* name) const {
        return reinterpret_cast<Fn>(symbol(name));
    }

    EntryPoints plugin{};

    // The fake client's function table: every host function set, the reserved slots null.
    HostFunctions functionTable() const;

    // setFunctionPointers, init, registerPluginID(pluginId); output and host calls of all.
    CallOutcome start(const char* pluginId = kTestPluginId);

    CallOutcome run(const std::function<void()>& call);

    // ---- scripting ----
    void setResult(HostFunction function, unsigned int code);
    void setResult(HostFunction function, uint64_t handler, unsigned int code);
    void setKeyedResult(HostFunction function, uint64_t key, unsigned int code);
    void setText(HostFunction function, std::string text);
    void setText(HostFunction function, uint64_t key, std::string text);
    void setIds(HostFunction function, std::vector<uint64_t> ids);
    void setIds(HostFunction function, uint64_t handler, std::vector<uint64_t> ids);
    void setNumber(HostFunction function, uint64_t value);
    void setNumber(HostFunction function, uint64_t key, uint64_t value);
    void onCall(HostFunction function, std::function<void()> hook);

    // ---- observing ----
    std::vector<std::string> hostCalls() const;  // every call since load or the last clear
    void clearHostCalls();
    size_t outstandingAllocations() const;
    size_t unknownFrees() const;
    // Fails the running test (without ending it) for every host text or ID list not given
    // back and every freeMemory of a pointer the host never handed out. Also run by the
    // destructor, so every test that loads the plugin ends with its accounts settled.
    void expectNothingOutstanding() const;

    // ---- blocks the plugin hands over, each given back through ts3plugin_freeMemory ----
    Menus takeMenus();
    std::optional<std::vector<HotkeyRecord>> takeHotkeys();  // nullopt: no list handed over
    std::optional<std::string> takeInfoData(uint64_t handler, uint64_t id, int type);

    size_t blocksGivenBack() const { return blocksGivenBack_; }

  private:
    friend struct FakeClient;  // the host functions, in fake_client.cpp

    void giveBack(void* block);
    void record(std::string call);
    unsigned int result(HostFunction function, std::optional<uint64_t> handler,
                        std::optional<uint64_t> key = std::nullopt) const;
    std::optional<std::string> text(HostFunction function, std::optional<uint64_t> key) const;
    std::optional<std::vector<uint64_t>> ids(HostFunction function,
                                             std::optional<uint64_t> handler) const;
    std::optional<uint64_t> number(HostFunction function, std::optional<uint64_t> key) const;
    std::function<void()> hook(HostFunction function) const;
    // How a freeMemory call records the pointer given back ("#3", "null", "unknown").
    std::string takeBack(void* pointer);

    std::string libraryCopy_;
    void* library_ = nullptr;
    std::string loadError_;
    size_t blocksGivenBack_ = 0;

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::map<std::pair<int, uint64_t>, unsigned int> results_;  // key: function, handler
    std::map<int, unsigned int> defaultResults_;
    std::map<std::pair<int, uint64_t>, unsigned int> keyedResults_;  // key: function, key
    std::map<std::pair<int, uint64_t>, std::string> texts_;
    std::map<int, std::string> defaultTexts_;
    std::map<std::pair<int, uint64_t>, std::vector<uint64_t>> idLists_;
    std::map<int, std::vector<uint64_t>> defaultIdLists_;
    std::map<std::pair<int, uint64_t>, uint64_t> numbers_;
    std::map<int, uint64_t> defaultNumbers_;
    std::map<int, std::function<void()>> hooks_;
    hostcore::BlockLedger ledger_;  // every string and ID list handed out
};

}  // namespace wt::testhost

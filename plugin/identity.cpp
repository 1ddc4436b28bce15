// What the client lists about the plugin. Every text lives as long as the library.

#include <atomic>

#include "plugin/entry_points.h"
#include "plugin/name_cache.h"
#include "plugin/name_converter.h"
#include "plugin/unload.h"
#include "plugin/version.h"

namespace {

// The name is kept in its wide form and converted once; the narrow form stands in if the
// conversion fails. The two must spell the same name.
constexpr char16_t kWideName[] = u"MOR-LEX Wacky Throats 1.0";
constexpr char kNarrowName[] = "MOR-LEX Wacky Throats 1.0";

constexpr int kApiVersion = 19;

constinit std::atomic<const char*> nameCache{nullptr};

}  // namespace

// The converted name goes when the library goes: a client that unloads and reloads the
// plugin must not lose a copy of it each time.
void wt::releasePluginName() {
    wt::releaseCachedUtf8(nameCache, kNarrowName);
}

WT_EXPORT const char* ts3plugin_name(void) {
    return wt::cachedUtf8(nameCache, kWideName, kNarrowName, wt::utf16ToUtf8);
}

WT_EXPORT const char* ts3plugin_version(void) {
    return wt::kPluginVersion;
}

WT_EXPORT int ts3plugin_apiVersion(void) {
    return kApiVersion;
}

WT_EXPORT const char* ts3plugin_author(void) {
    return "MOR-LEX Haldrup Computersoftware GbR";
}

WT_EXPORT const char* ts3plugin_description(void) {
    return "This plugin can create sound effects for your voice.";
}

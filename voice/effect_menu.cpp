// The plugin's global menu: the user's only control of the effect and its strength.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "voice/effect_settings.h"

namespace {

struct MenuEntry {
    int32_t id;
    const char* text;
};

// Item IDs 6..12 select effect kinds 0..6 (ID minus 6), 13 selects none. 14..17 are not
// used; the strength items are 18 and 19.
constexpr int32_t kFirstEffectItem = 6;
constexpr int32_t kNoEffectItem = 13;
constexpr int32_t kStrengthUpItem = 18;
constexpr int32_t kStrengthDownItem = 19;

constexpr MenuEntry kMenu[] = {
    {6, "Higher"},
    {7, "Lower"},
    {8, "Monster"},
    {9, "Space Voice"},
    {10, "Space Voice 2"},
    {11, "Robot"},
    {12, "Alien"},
    {kNoEffectItem, "No effect"},
    {kStrengthUpItem, "Increase effect strength"},
    {kStrengthDownItem, "Decrease effect strength"},
};
constexpr size_t kMenuItems = std::size(kMenu);
static_assert(kNoEffectItem - kFirstEffectItem == wt::kEffectKindCount);

constexpr char kMenuIcon[] = "t.png";

// One step of the strength; every reachable strength is a multiple of 0.25 within 0..1.
constexpr double kStrengthStep = 0.5;
constexpr float kStrengthMin = 0.0f;
constexpr float kStrengthMax = 1.0f;

// Bounded copy that always leaves a terminated text.
void copyText(char* destination, size_t size, const char* text) {
    std::strncpy(destination, text, size - 1);
    destination[size - 1] = '\0';
}

void releaseMenu(PluginMenuItem** list) {
    for (size_t i = 0; i < kMenuItems; ++i) std::free(list[i]);
    std::free(list);
}

// The sum is formed in double and rounded to float; only that rounded value is compared
// with the bound, strictly, so exactly 1.0 or 0.0 stand as they are.
float steppedStrength(float strength, double step) {
    float stepped = static_cast<float>(static_cast<double>(strength) + step);
    if (stepped > kStrengthMax) stepped = kStrengthMax;
    if (stepped < kStrengthMin) stepped = kStrengthMin;
    return stepped;
}

// Presses on several client threads at once each take effect: a step computed from a
// strength another press has changed meanwhile is computed again from the new one.
void stepStrength(double step) {
    float strength = wt::loadEffectSettings().strength;
    while (!wt::replaceEffectStrength(strength, steppedStrength(strength, step))) {
    }
}

}  // namespace

WT_EXPORT void ts3plugin_initMenus(struct PluginMenuItem*** menuItems, char** menuIcon) {
    if (menuItems == nullptr || menuIcon == nullptr) {
        if (menuItems != nullptr) *menuItems = nullptr;
        if (menuIcon != nullptr) *menuIcon = nullptr;
        return;
    }
    *menuItems = nullptr;
    *menuIcon = nullptr;

    // calloc: on a failed allocation below, the records not yet made are null, so the
    // whole partial menu is released at once and nothing is handed over.
    auto** list =
        static_cast<PluginMenuItem**>(std::calloc(kMenuItems + 1, sizeof(PluginMenuItem*)));
    if (list == nullptr) return;
    for (size_t i = 0; i < kMenuItems; ++i) {
        auto* item = static_cast<PluginMenuItem*>(std::malloc(sizeof(PluginMenuItem)));
        if (item == nullptr) {
            releaseMenu(list);
            return;
        }
        item->type = kMenuTypeGlobal;
        item->id = kMenu[i].id;
        copyText(item->text, sizeof item->text, kMenu[i].text);
        copyText(item->icon, sizeof item->icon, "");
        list[i] = item;
    }
    auto* icon = static_cast<char*>(std::malloc(kMenuIconSize));
    if (icon == nullptr) {
        releaseMenu(list);
        return;
    }
    copyText(icon, kMenuIconSize, kMenuIcon);
    *menuItems = list;
    *menuIcon = icon;
}

WT_EXPORT void ts3plugin_onMenuItemEvent(uint64_t serverConnectionHandlerID, int type,
                                         int menuItemID, uint64_t selectedItemID) {
    std::printf(
        "PLUGIN: onMenuItemEvent: serverConnectionHandlerID=%llu, type=%d, menuItemID=%d, "
        "selectedItemID=%llu\n",
        static_cast<unsigned long long>(serverConnectionHandlerID), type, menuItemID,
        static_cast<unsigned long long>(selectedItemID));
    if (type != kMenuTypeGlobal) return;

    if (menuItemID >= kFirstEffectItem && menuItemID < kNoEffectItem) {
        wt::storeEffectKind(static_cast<wt::EffectKind>(menuItemID - kFirstEffectItem));
    } else if (menuItemID == kNoEffectItem) {
        wt::storeEffectKind(wt::EffectKind::None);
    } else if (menuItemID == kStrengthUpItem) {
        stepStrength(kStrengthStep);
    } else if (menuItemID == kStrengthDownItem) {
        stepStrength(-kStrengthStep);
    }
}

// The plugin's global menu: the user's only control of the effect and its strength.

#include "voice/effect_menu.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "voice/effect_settings.h"
#include "voice/effects.h"

namespace {

// IDs 14..17 are not used; the strength items are 18 and 19.
constexpr int32_t kStrengthUpItem = 18;
constexpr int32_t kStrengthDownItem = 19;

struct EffectItem {
    int32_t id;
    const char* text;
    wt::EffectKind kind;  // what the item selects
};

// The effect items, first in the menu and in this order. A new effect is one row here,
// beside its kind (voice/effects.h) and its formula (voice/effects.cpp).
constexpr EffectItem kEffectItems[] = {
    {6, "Higher", wt::EffectKind::Higher},
    {7, "Lower", wt::EffectKind::Lower},
    {8, "Monster", wt::EffectKind::Monster},
    {9, "Space Voice", wt::EffectKind::SpaceVoice},
    {10, "Space Voice 2", wt::EffectKind::SpaceVoice2},
    {11, "Robot", wt::EffectKind::Robot},
    {12, "Alien", wt::EffectKind::Alien},
    {13, "No effect", wt::EffectKind::None},
};

struct MenuEntry {
    int32_t id;
    const char* text;
};

// After the effect items.
constexpr MenuEntry kStrengthItems[] = {
    {kStrengthUpItem, "Increase effect strength"},
    {kStrengthDownItem, "Decrease effect strength"},
};

constexpr size_t kMenuItems = std::size(kEffectItems) + std::size(kStrengthItems);

// Item `i` of the menu list, 0..kMenuItems-1.
constexpr MenuEntry menuEntry(size_t i) {
    if (i < std::size(kEffectItems)) return {kEffectItems[i].id, kEffectItems[i].text};
    return kStrengthItems[i - std::size(kEffectItems)];
}

// Every kind, None included, is selected by exactly one item, and no two items share an
// ID: an effect added without its row, or a row with a stale kind, does not compile.
consteval bool everyKindOnceAndEveryIdOnce() {
    for (int32_t kind = -1; kind < wt::kEffectKindCount; ++kind) {
        int32_t rows = 0;
        for (const EffectItem& item : kEffectItems)
            if (static_cast<int32_t>(item.kind) == kind) ++rows;
        if (rows != 1) return false;
    }
    for (const EffectItem& item : kEffectItems)
        if (item.kind != wt::EffectKind::None && !wt::hasFormula(item.kind)) return false;
    for (size_t i = 0; i < kMenuItems; ++i)
        for (size_t j = i + 1; j < kMenuItems; ++j)
            if (menuEntry(i).id == menuEntry(j).id) return false;
    return true;
}

static_assert(everyKindOnceAndEveryIdOnce());

const EffectItem* effectItemWithId(int32_t id) {
    for (const EffectItem& item : kEffectItems)
        if (item.id == id) return &item;
    return nullptr;
}

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
        const MenuEntry entry = menuEntry(i);
        item->id = entry.id;
        copyText(item->text, sizeof item->text, entry.text);
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

    if (const EffectItem* item = effectItemWithId(menuItemID)) {
        wt::storeEffectKind(item->kind);
    } else if (menuItemID == kStrengthUpItem) {
        stepStrength(kStrengthStep);
    } else if (menuItemID == kStrengthDownItem) {
        stepStrength(-kStrengthStep);
    }
}

const char* wt::effectMenuText(EffectKind kind) {
    for (const EffectItem& item : kEffectItems)
        if (item.kind == kind) return item.text;
    return nullptr;
}

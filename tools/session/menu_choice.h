#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/session/plugin_session.h"

// Turns an effect name and a strength into the menu clicks a user would make.
namespace wt::session {

inline constexpr const char* kNoEffect = "none";  // always valid, besides the menu texts

// True for the two strength items, which select no effect.
bool isStrengthItem(const MenuEntry& entry);

// The menu texts that select an effect ("No effect" included), in menu order: every
// global item but the two strength items.
std::vector<std::string> effectNames(const std::vector<MenuEntry>& menu);

// The item that selects `name` (a menu text, case ignored, or kNoEffect). nullopt with
// *known true: kNoEffect and the menu has no "No effect" item (nothing to press, since
// every load starts without effect); with *known false: no such effect.
std::optional<int32_t> effectItem(const std::vector<MenuEntry>& menu, const std::string& name,
                                  bool* known);

// The IDs to press, in order: the effect item (none for "none" if the menu has no
// "No effect" item, since every load starts without effect), then the strength items.
// Throws ToolError: UnknownEffect (listing the valid names), UnreachableStrength,
// MenuIncomplete (a strength item needed but missing).
std::vector<int32_t> planMenuPresses(const std::vector<MenuEntry>& menu, const std::string& effect,
                                     double strength, const std::string& strengthText);

}  // namespace wt::session

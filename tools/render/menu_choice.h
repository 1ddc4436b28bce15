#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/plugin_session.h"

// Turns --effect and --strength into the menu clicks a user would make.
namespace wt::render {

// The menu texts that select an effect ("No effect" included), in menu order: every
// global item but the two strength items.
std::vector<std::string> effectNames(const std::vector<MenuEntry>& menu);

// The IDs to press, in order: the effect item (none for "none" if the menu has no
// "No effect" item, since every load starts without effect), then the strength items.
// Throws RenderError: UnknownEffect (listing the valid names), UnreachableStrength,
// MenuIncomplete (a strength item needed but missing).
std::vector<int32_t> planMenuPresses(const std::vector<MenuEntry>& menu, const std::string& effect,
                                     double strength, const std::string& strengthText);

}  // namespace wt::render

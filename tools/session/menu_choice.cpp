#include "tools/session/menu_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "tools/session/exit_codes.h"
#include "tools/session/strength_plan.h"

namespace wt::session {

namespace {

bool sameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<int32_t> findItem(const std::vector<MenuEntry>& menu, const std::string& text) {
    for (const MenuEntry& entry : menu)
        if (!isStrengthItem(entry) && sameText(entry.text, text)) return entry.id;
    return std::nullopt;
}

int32_t strengthItem(const std::vector<MenuEntry>& menu, const char* text) {
    for (const MenuEntry& entry : menu)
        if (entry.text == text) return entry.id;
    throw ToolError{ExitCode::MenuIncomplete,
                    std::string("the plugin's menu has no \"") + text + "\" item"};
}

std::string formatStrength(float strength) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(strength));
    return text;
}

}  // namespace

bool isStrengthItem(const MenuEntry& entry) {
    return entry.text == kIncreaseStrengthText || entry.text == kDecreaseStrengthText;
}

std::optional<int32_t> effectItem(const std::vector<MenuEntry>& menu, const std::string& name,
                                  bool* known) {
    *known = true;
    if (const std::optional<int32_t> id = findItem(menu, name)) return id;
    if (sameText(name, kNoEffect)) return findItem(menu, kNoEffectText);
    *known = false;
    return std::nullopt;
}

std::vector<std::string> effectNames(const std::vector<MenuEntry>& menu) {
    std::vector<std::string> names;
    for (const MenuEntry& entry : menu)
        if (!isStrengthItem(entry)) names.push_back(entry.text);
    return names;
}

std::vector<int32_t> planMenuPresses(const std::vector<MenuEntry>& menu, const std::string& effect,
                                     double strength, const std::string& strengthText) {
    std::vector<int32_t> presses;
    bool known = false;
    if (const std::optional<int32_t> id = effectItem(menu, effect, &known)) {
        presses.push_back(*id);
    } else if (!known) {
        std::string valid;
        for (const std::string& name : effectNames(menu)) valid += "\"" + name + "\", ";
        throw ToolError{ExitCode::UnknownEffect,
                        "no effect \"" + effect + "\" in the plugin's menu; valid names: " + valid +
                            "\"" + kNoEffect + "\""};
    }

    const std::optional<std::vector<StrengthPress>> steps = planStrength(strength);
    if (!steps) {
        std::string reachable;
        for (const float s : reachableStrengths())
            reachable += (reachable.empty() ? "" : ", ") + formatStrength(s);
        throw ToolError{ExitCode::UnreachableStrength,
                        "strength " + strengthText +
                            " cannot be reached with the menu's strength items; they reach " +
                            reachable};
    }
    for (const StrengthPress step : *steps)
        presses.push_back(strengthItem(
            menu, step == StrengthPress::Increase ? kIncreaseStrengthText : kDecreaseStrengthText));
    return presses;
}

}  // namespace wt::session

#include "tools/live/live_control.h"

#include "tools/session/menu_choice.h"
#include "tools/session/strength_plan.h"

namespace wt::live {

namespace {

using session::MenuEntry;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

LiveControl::LiveControl(session::PluginSession& session)
    : session_(session), strength_(session::kStartStrength) {}

void LiveControl::press(int32_t id) {
    session_.pressMenuItem(id);
    for (const MenuEntry& entry : session_.menu()) {
        if (entry.id != id) continue;
        if (entry.text == session::kIncreaseStrengthText)
            strength_ = session::pressStrength(strength_, session::StrengthPress::Increase);
        else if (entry.text == session::kDecreaseStrengthText)
            strength_ = session::pressStrength(strength_, session::StrengthPress::Decrease);
        else
            effect_ = entry.text == session::kNoEffectText ? session::kNoEffect : entry.text;
        return;
    }
}

void LiveControl::startWith(const std::vector<int32_t>& presses) {
    for (const int32_t id : presses) press(id);
}

Command LiveControl::line(const std::string& text) {
    const std::string command = trimmed(text);
    if (command.empty()) return Command::Applied;
    if (command == "q") return Command::Quit;
    if (command == "+" || command == "-") {
        const char* item =
            command == "+" ? session::kIncreaseStrengthText : session::kDecreaseStrengthText;
        for (const MenuEntry& entry : session_.menu())
            if (entry.text == item) {
                press(entry.id);
                return Command::Applied;
            }
        return Command::Unknown;
    }
    bool known = false;
    if (const std::optional<int32_t> id = session::effectItem(session_.menu(), command, &known)) {
        press(*id);
        return Command::Applied;
    }
    // "none" with no item for it: only true while nothing was ever selected.
    return known && effect_ == session::kNoEffect ? Command::Applied : Command::Unknown;
}

Command LiveControl::key(char key) {
    if (key == 'q' || key == 'Q') return Command::Quit;
    if (key == '+' || key == '-') return line(std::string(1, key));
    if (key >= '1' && key < '1' + kEffectKeys) {
        const std::vector<std::string> names = session::effectNames(session_.menu());
        const size_t index = static_cast<size_t>(key - '1');
        if (index < names.size()) return line(names[index]);
    }
    return Command::Unknown;
}

}  // namespace wt::live

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/session/plugin_session.h"
#include "voice/effects.h"

// The user's live choices, turned into the menu clicks a user would make in the client,
// on the main thread (never the audio thread). The plugin offers no way to read its
// settings back, so the effect and strength shown are followed here from the clicks.
namespace wt::live {

enum class Command { Applied, Unknown, Quit };

// The menu's effect items, "No effect" included: one digit key each, from '1'.
inline constexpr int kEffectKeys = kEffectKindCount + 1;
static_assert(kEffectKeys <= 9, "one digit per effect");

class LiveControl {
  public:
    explicit LiveControl(session::PluginSession& session);

    // The start-up choice: the effect item and strength presses planned from the options.
    void startWith(const std::vector<int32_t>& presses);

    // One line of standard input: a menu text (case ignored), "none", "+", "-" or "q".
    // Surrounding blanks and a carriage return are ignored; an empty line is Applied.
    Command line(const std::string& text);

    // One key on a terminal: '1' to kEffectKeys the effects in menu order, '+', '-', 'q'.
    Command key(char key);

    const std::string& effect() const { return effect_; }

    float strength() const { return strength_; }

  private:
    void press(int32_t id);

    session::PluginSession& session_;
    std::string effect_ = "none";  // every load starts without effect
    float strength_;
};

}  // namespace wt::live

#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "tools/live/live_control.h"

// The plugin's menu as buttons: one checkable button per effect item, texts and order
// from the plugin's own menu, the current effect checked; the two strength items as
// buttons, and the strength they reached. Every press goes through LiveControl, so
// through the plugin's menu entry point on this thread. [main thread]
namespace wt::desktop {

class EffectPanel : public QWidget {
    Q_OBJECT

  public:
    // `menu`: the plugin's menu, which `control` presses.
    EffectPanel(live::LiveControl& control, const std::vector<session::MenuEntry>& menu,
                QWidget* parent = nullptr);

    // Keys as wacky-live takes them on a terminal: '1' to '8' the effects in menu order,
    // '+' and '-' the strength items. Unknown keys change nothing.
    void pressKey(char key);

    const std::vector<QPushButton*>& effectButtons() const { return effects_; }

  signals:
    // The effect or the strength changed.
    void choiceChanged();

  private:
    void showChoice();

    live::LiveControl& control_;
    std::vector<std::string> names_;  // of the effect buttons, in order
    std::vector<QPushButton*> effects_;
    QLabel* strength_;
};

}  // namespace wt::desktop

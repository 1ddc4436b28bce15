#include "tools/desktop/effect_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tools/session/menu_choice.h"

namespace wt::desktop {

namespace {

constexpr int kEffectColumns = 4;

}  // namespace

EffectPanel::EffectPanel(live::LiveControl& control, const std::vector<session::MenuEntry>& menu,
                         QWidget* parent)
    : QWidget(parent), control_(control), names_(session::effectNames(menu)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* effectBox = new QGroupBox("Effect");
    auto* grid = new QGridLayout(effectBox);
    for (const std::string& name : names_) {
        auto* button = new QPushButton(QString::fromStdString(name));
        button->setCheckable(true);
        const int index = static_cast<int>(effects_.size());
        grid->addWidget(button, index / kEffectColumns, index % kEffectColumns);
        effects_.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, name] {
            control_.line(name);
            showChoice();
        });
    }
    layout->addWidget(effectBox);

    auto* strengthBox = new QGroupBox("Strength");
    auto* row = new QHBoxLayout(strengthBox);
    strength_ = new QLabel;
    for (const session::MenuEntry& entry : menu) {
        if (!session::isStrengthItem(entry)) continue;
        auto* button = new QPushButton(QString::fromStdString(entry.text));
        const char key = entry.text == session::kIncreaseStrengthText ? '+' : '-';
        connect(button, &QPushButton::clicked, this, [this, key] { pressKey(key); });
        row->addWidget(button);
    }
    row->insertWidget(row->count() > 1 ? 1 : row->count(), strength_, 1, Qt::AlignCenter);
    layout->addWidget(strengthBox);
    showChoice();
}

void EffectPanel::pressKey(char key) {
    if (key == 'q' || key == 'Q') return;  // quitting is the window's, on Ctrl+Q
    if (control_.key(key) == live::Command::Applied) showChoice();
}

void EffectPanel::showChoice() {
    for (size_t i = 0; i < names_.size(); ++i) {
        // The control says "none" for the "No effect" item.
        const bool current =
            names_[i] == control_.effect() ||
            (names_[i] == session::kNoEffectText && control_.effect() == session::kNoEffect);
        effects_[i]->setChecked(current);
    }
    strength_->setText(QString("Strength %1").arg(static_cast<double>(control_.strength())));
    emit choiceChanged();
}

}  // namespace wt::desktop

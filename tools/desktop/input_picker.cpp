#include "tools/desktop/input_picker.h"

#include <QSignalBlocker>

namespace wt::desktop {

namespace {

QString entryText(const live::GraphNode& node) {
    const QString description =
        QString::fromStdString(node.description.empty() ? node.name : node.description);
    // A sink is captured through its monitor: say so, as a desktop's sound settings do.
    if (node.mediaClass.rfind("Audio/Sink", 0) == 0) return "Monitor of " + description;
    return description;
}

}  // namespace

InputPicker::InputPicker(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit inputChosen(itemData(index).toString().toStdString()); });
}

void InputPicker::showInputs(const std::vector<live::GraphNode>& inputs,
                             const std::string& chosen) {
    std::vector<std::pair<std::string, QString>> entries{{"", "Default microphone"}};
    bool chosenListed = chosen.empty();
    for (const live::GraphNode& node : inputs) {
        entries.emplace_back(node.name, entryText(node));
        chosenListed = chosenListed || node.name == chosen;
    }
    if (!chosenListed)
        entries.emplace_back(chosen, QString::fromStdString(chosen) + " (not connected)");
    if (entries != shown_) {
        const QSignalBlocker quiet(this);
        clear();
        for (const auto& [name, text] : entries) addItem(text, QString::fromStdString(name));
        shown_ = std::move(entries);
    }
    setCurrentIndex(findData(QString::fromStdString(chosen)));
}

std::string InputPicker::chosen() const {
    return currentData().toString().toStdString();
}

}  // namespace wt::desktop

#pragma once

#include <QComboBox>
#include <string>
#include <vector>

#include "tools/live/live_engine.h"

// The input picker: the default microphone first, then every source and every sink's
// monitor the engine lists, by description. A chosen input that is gone stays listed
// (as not connected) and stays chosen: the choice is the user's. [main thread]
namespace wt::desktop {

class InputPicker : public QComboBox {
    Q_OBJECT

  public:
    explicit InputPicker(QWidget* parent = nullptr);

    // The nodes there are now and the node.name chosen (empty: the default source).
    // Rebuilds the list only when it changed.
    void showInputs(const std::vector<live::GraphNode>& inputs, const std::string& chosen);

    std::string chosen() const;

  signals:
    // The user picked another entry: its node.name, empty for the default microphone.
    void inputChosen(const std::string& input);

  private:
    std::vector<std::pair<std::string, QString>> shown_;  // node.name, text
};

}  // namespace wt::desktop

#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "tools/desktop/app_core.h"
#include "tools/desktop/app_settings.h"
#include "tools/desktop/effect_panel.h"
#include "tools/desktop/engine_loop.h"
#include "tools/desktop/input_picker.h"
#include "tools/desktop/level_meter.h"

// The window: one status line saying what the user can do now, the plugin's menu as
// buttons, the input picker, "Hear yourself", the two level meters, the dropped cycles,
// "Start at login", "Keep running when the window is closed" and Quit. Only wires the
// panels to the core; each panel owns its own state. Every choice is saved as it is made.
// [main thread]
namespace wt::desktop {

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    // Meters and counters are read this often while the window is shown.
    static constexpr int kMetersPerSecond = 30;

    // `saved`: the choices of the last run, whose window size and keep-running this
    // window takes (the effect, strength, input and monitor are already in `core`).
    MainWindow(AppCore& core, const SavedChoices& saved, QWidget* parent = nullptr);

    // Shows the window above the others, for a later launch of the application.
    void bringForward();

    // Saves the choices and ends the application's event loop.
    void quit();

    // What the status line says now.
    QString status() const { return status_->text(); }

    EffectPanel* effects() const { return effects_; }

    InputPicker* picker() const { return picker_; }

    LevelMeter* inputMeter() const { return inputMeter_; }

    LevelMeter* outputMeter() const { return outputMeter_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Everything below the effects, in reading (and Tab) order.
    void buildControls(QVBoxLayout* layout);
    void showEngine();
    void readMeters();
    void say(const QString& line);
    void save();

    AppCore& core_;
    SavedChoices saved_;
    std::unique_ptr<EngineLoop> loop_;
    QLabel* status_;
    QLabel* message_;
    EffectPanel* effects_ = nullptr;
    InputPicker* picker_;
    QCheckBox* hearYourself_;
    LevelMeter* inputMeter_;
    LevelMeter* outputMeter_;
    QLabel* dropped_;
    QCheckBox* startAtLogin_;
    QCheckBox* keepRunning_;
    QPushButton* quit_;
    QTimer meterTimer_;
};

}  // namespace wt::desktop

#pragma once

#include <QProgressBar>
#include <cstdint>

// A peak level meter, in whole dBFS from kFloorDb (and below: silence) to 0. A progress
// bar underneath, so screen readers get its level as a value and its label as its name;
// it repaints only when the shown decibel changes. [main thread]
namespace wt::desktop {

class LevelMeter : public QProgressBar {
  public:
    static constexpr int kFloorDb = -60;

    // `name`: the visible label's text, which is also the accessible name.
    explicit LevelMeter(const QString& name, QWidget* parent = nullptr);

    // A peak magnitude as the voice pipe counts it (0 to 32768).
    void showPeak(int32_t peak);

    // The level in whole dBFS (kFloorDb for silence).
    static int decibels(int32_t peak);
};

}  // namespace wt::desktop

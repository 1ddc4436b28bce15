#include "tools/desktop/level_meter.h"

#include <algorithm>
#include <cmath>

namespace wt::desktop {

namespace {

constexpr double kFullScale = 32768.0;

}  // namespace

LevelMeter::LevelMeter(const QString& name, QWidget* parent) : QProgressBar(parent) {
    setRange(kFloorDb, 0);
    setValue(kFloorDb);
    setFormat("%v dBFS");
    setAccessibleName(name);
}

int LevelMeter::decibels(int32_t peak) {
    if (peak <= 0) return kFloorDb;
    const double db = 20.0 * std::log10(peak / kFullScale);
    return std::clamp(static_cast<int>(std::lround(db)), kFloorDb, 0);
}

void LevelMeter::showPeak(int32_t peak) {
    // QProgressBar repaints only when the value changes.
    setValue(decibels(peak));
}

}  // namespace wt::desktop

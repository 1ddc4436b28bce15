#pragma once

#include <QWidget>
#include <cstdint>

// A peak level meter, in whole dBFS from kFloorDb (and below: silence) to 0, drawn as a
// bar. A change repaints only the strip between the old level and the new one, and a
// level that rounds to the same decibel repaints nothing. Screen readers get the level as
// a value (a progress bar's role) and the visible label's text as the name. [main thread]
namespace wt::desktop {

class LevelMeter : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFloorDb = -60;

    // `name`: the visible label's text, which is also the accessible name.
    explicit LevelMeter(const QString& name, QWidget* parent = nullptr);

    // A peak magnitude as the voice pipe counts it (0 to 32768).
    void showPeak(int32_t peak);

    // The level shown, in whole dBFS (kFloorDb for silence).
    int value() const { return level_; }

    // A peak magnitude in whole dBFS, held within kFloorDb to 0.
    static int decibels(int32_t peak);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The x where the bar of `level` ends.
    int edge(int level) const;

    int level_ = kFloorDb;
};

}  // namespace wt::desktop

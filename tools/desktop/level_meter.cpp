#include "tools/desktop/level_meter.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace wt::desktop {

namespace {

constexpr double kFullScale = 32768.0;
constexpr int kHintWidth = 240;
constexpr int kHintHeight = 14;

// What a screen reader asks of a meter: a progress bar's role, its level as a value.
class MeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit MeterAccessible(LevelMeter* meter)
        : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return meter()->value(); }

    void setCurrentValue(const QVariant&) override {}  // a meter only shows

    QVariant maximumValue() const override { return 0; }

    QVariant minimumValue() const override { return LevelMeter::kFloorDb; }

    QVariant minimumStepSize() const override { return 1; }

  private:
    LevelMeter* meter() const { return static_cast<LevelMeter*>(widget()); }
};

QAccessibleInterface* meterAccessible(const QString& className, QObject* object) {
    if (className == LevelMeter::staticMetaObject.className() && object->isWidgetType())
        return new MeterAccessible(static_cast<LevelMeter*>(object));
    return nullptr;
}

}  // namespace

LevelMeter::LevelMeter(const QString& name, QWidget* parent) : QWidget(parent) {
    static const bool installed = (QAccessible::installFactory(meterAccessible), true);
    (void)installed;
    setAccessibleName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: nothing behind it
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int LevelMeter::decibels(int32_t peak) {
    if (peak <= 0) return kFloorDb;
    const double db = 20.0 * std::log10(peak / kFullScale);
    return std::clamp(static_cast<int>(std::lround(db)), kFloorDb, 0);
}

QSize LevelMeter::sizeHint() const {
    return {kHintWidth, kHintHeight};
}

int LevelMeter::edge(int level) const {
    return width() * (level - kFloorDb) / -kFloorDb;
}

void LevelMeter::showPeak(int32_t peak) {
    const int level = decibels(peak);
    if (level == level_) return;
    const int from = edge(level_);
    const int to = edge(level);
    level_ = level;
    update(std::min(from, to), 0, std::abs(to - from), height());
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, level_);
        QAccessible::updateAccessibility(&changed);
    }
}

void LevelMeter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int split = edge(level_);
    const QRect bar(0, 0, split, height());
    const QRect rest(split, 0, width() - split, height());
    painter.fillRect(bar & event->rect(), palette().color(QPalette::Highlight));
    painter.fillRect(rest & event->rect(), palette().color(QPalette::Base));
}

}  // namespace wt::desktop

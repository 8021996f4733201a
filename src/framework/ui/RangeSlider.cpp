#include "framework/ui/RangeSlider.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace tavora::framework::ui {

RangeSlider::RangeSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    setRange(0, Steps);
    // The vertical slider reads from the top (small ticks) downwards like the original control.
    setInvertedAppearance(orientation == Qt::Vertical);
    connect(this, &QSlider::valueChanged, this, [this](int) { emit ratioChanged(ratio()); });
}

double RangeSlider::ratio() const { return double(value()) / Steps; }

void RangeSlider::setRatio(double ratio) {
    const QSignalBlocker block(this);
    setValue(int(std::lround(std::clamp(ratio, 0.0, 1.0) * Steps)));
}

}  // namespace tavora::framework::ui

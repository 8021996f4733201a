#pragma once
// The small zoom sliders of a chart panel: a slider that reports its position as a ratio
// between 0 and 1, and whether the change came from a drag. UI thread only.
#include <QSlider>

namespace tavora::framework::ui {

class RangeSlider : public QSlider {
    Q_OBJECT
public:
    static constexpr int Steps = 1000;

    explicit RangeSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    double ratio() const;
    // Places the knob without reporting a change.
    void setRatio(double ratio);

signals:
    void ratioChanged(double ratio);
};

}  // namespace tavora::framework::ui

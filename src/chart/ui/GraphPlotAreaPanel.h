#pragma once
// The drawing surface of a chart panel: a visible image the chart is painted into and the
// clean copy of the last full paint, which the pointer tools draw over and wipe with. Full
// and fast paints go through the chart painting functions on a QtCanvas; the widget only
// copies the visible image to the screen. The mouse wheel scrolls the price axis one step.
// UI thread only.
#include "chart/ChartPainter.h"
#include "chart/GraphViewState.h"

#include <QImage>
#include <QWidget>


namespace tavora::chart::ui {

class GraphPlotAreaPanel : public QWidget {
    Q_OBJECT
public:
    // `content` (title, annotations) is owned by the panel and read at every paint.
    GraphPlotAreaPanel(GraphViewState& state, const ChartContent& content, QWidget* parent);
    ~GraphPlotAreaPanel() override;

    // Repaints every layer into the visible image and refreshes the clean copy.
    void fullPaint();
    // Repaints without volume and annotations (while a scroll bar is dragged).
    void fastPaint();

    const QImage& visibleImage() const { return m_visible; }
    const QImage& cleanCopy() const { return m_clean; }
    const ChartPainter& painter() const { return m_painter; }
    int fullPaintCount() const { return m_fullPaints; }

signals:
    // One wheel notch: -1 forward (prices up), +1 backward.
    void wheelStep(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ensureImages();

    void paint(bool full);

    GraphViewState& m_state;
    const ChartContent& m_content;
    ChartPainter m_painter;
    QImage m_visible;
    QImage m_clean;
    int m_fullPaints = 0;
    int m_wheelRemainder = 0;
};

}  // namespace tavora::chart::ui

#include "chart/ui/GraphPlotAreaPanel.h"

#include "framework/ui/QtCanvas.h"

#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace tavora::chart::ui {

GraphPlotAreaPanel::GraphPlotAreaPanel(GraphViewState& state, const ChartContent& content, QWidget* parent)
    : QWidget(parent), m_state(state), m_content(content) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

GraphPlotAreaPanel::~GraphPlotAreaPanel() = default;

void GraphPlotAreaPanel::ensureImages() {
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (m_visible.size() != size) {
        m_visible = QImage(size, QImage::Format_RGB32);
        m_clean = QImage(size, QImage::Format_RGB32);
    }
}

void GraphPlotAreaPanel::paint(bool full) {
    ensureImages();
    {
        framework::ui::QtCanvas canvas(m_visible, &m_clean);
        if (full)
            m_painter.paintFull(canvas, m_state, m_content);
        else
            m_painter.paintFast(canvas, m_state, m_content);
    }
    update();
}

void GraphPlotAreaPanel::fullPaint() {
    paint(true);
    ++m_fullPaints;
}

void GraphPlotAreaPanel::fastPaint() { paint(false); }

void GraphPlotAreaPanel::resizeEvent(QResizeEvent*) { ensureImages(); }

void GraphPlotAreaPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_visible);
}

void GraphPlotAreaPanel::wheelEvent(QWheelEvent* event) {
    // One step per notch (120 units); high-resolution wheels add up to a notch first.
    m_wheelRemainder += event->angleDelta().y();
    while (m_wheelRemainder >= 120) {
        m_wheelRemainder -= 120;
        emit wheelStep(-1);
    }
    while (m_wheelRemainder <= -120) {
        m_wheelRemainder += 120;
        emit wheelStep(1);
    }
    event->accept();
}

}  // namespace tavora::chart::ui

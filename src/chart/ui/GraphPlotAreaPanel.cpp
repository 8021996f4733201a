#include "chart/ui/GraphPlotAreaPanel.h"

#include "annotations/GraphDrawList.h"
#include "annotations/TextElm.h"
#include "chart/ui/ChartKeyboard.h"
#include "chart/ui/GraphPlotEdit.h"
#include "framework/ui/QtCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

namespace tavora::chart::ui {

namespace {

// A canvas on the visible image that begins painting at its first drawing call and can be
// ended early, so the paints the pointer tools ask for (a full paint, an edge scroll) can
// open their own painter on the same image. Reopened, it takes back its pen, brush, font and
// text colour.
class OverlayCanvas : public framework::Canvas {
public:
    OverlayCanvas(QImage& visible, QImage& clean) : m_visible(visible), m_clean(clean) {}
    void end() { m_canvas.reset(); }

    framework::Size size() const override { return {m_visible.width(), m_visible.height()}; }
    void setPen(const framework::Pen& pen) override {
        m_pen = pen;
        if (m_canvas)
            m_canvas->setPen(pen);
    }
    void setBrush(framework::ColorRef color) override {
        m_brush = color;
        if (m_canvas)
            m_canvas->setBrush(color);
    }
    void setFont(const framework::Font& font) override {
        m_font = font;
        if (m_canvas)
            m_canvas->setFont(font);
    }
    void setTextColor(framework::ColorRef color) override {
        m_textColor = color;
        if (m_canvas)
            m_canvas->setTextColor(color);
    }
    void fillRect(const framework::Rect& rect, framework::ColorRef color) override {
        open().fillRect(rect, color);
    }
    void line(framework::Point from, framework::Point to) override { open().line(from, to); }
    void polyline(std::span<const framework::Point> points) override { open().polyline(points); }
    void rectangle(const framework::Rect& rect) override { open().rectangle(rect); }
    void polygon(std::span<const framework::Point> points) override { open().polygon(points); }
    void drawText(const framework::Rect& rect, std::string_view text, framework::TextFormat format) override {
        open().drawText(rect, text, format);
    }
    framework::Size measureText(std::string_view text) override { return open().measureText(text); }
    framework::Size measureWrappedText(std::string_view text, int width) override {
        return open().measureWrappedText(text, width);
    }
    framework::Size measureTextLines(std::string_view text) override { return open().measureTextLines(text); }
    void copyToCleanCopy() override { open().copyToCleanCopy(); }
    void restoreFromCleanCopy() override { open().restoreFromCleanCopy(); }

private:
    framework::ui::QtCanvas& open() {
        if (!m_canvas) {
            m_canvas.emplace(m_visible, &m_clean);
            m_canvas->setPen(m_pen);
            m_canvas->setBrush(m_brush);
            m_canvas->setFont(m_font);
            m_canvas->setTextColor(m_textColor);
        }
        return *m_canvas;
    }

    QImage& m_visible;
    QImage& m_clean;
    std::optional<framework::ui::QtCanvas> m_canvas;
    framework::Pen m_pen;
    framework::ColorRef m_brush = 0xFFFFFF;
    framework::Font m_font;
    framework::ColorRef m_textColor = 0;
};

} // namespace

GraphPlotAreaPanel::GraphPlotAreaPanel(GraphViewState& state, ChartContent& content, QWidget* parent)
    : QWidget(parent), m_state(state), m_content(content), m_tools(state, *this),
      m_editor(new GraphPlotEdit(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus); // click or Tab: the chart's keys
    setMouseTracking(true);
}

GraphPlotAreaPanel::~GraphPlotAreaPanel() = default;

void GraphPlotAreaPanel::ensureImages() {
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (m_visible.size() != size) {
        m_visible = QImage(size, QImage::Format_RGB32);
        m_clean = QImage(size, QImage::Format_RGB32);
    }
    m_tools.setClientSize({width(), height()});
}

void GraphPlotAreaPanel::paint(bool full) {
    endOverlay(); // a pointer tool's drawing in progress gives the image up first
    ensureImages();
    if (full)
        m_content.annotations = m_list ? m_list->chartAnnotations() : std::vector<ChartAnnotation*>{};
    {
        framework::ui::QtCanvas canvas(m_visible, &m_clean);
        if (full)
            m_painter.paintFull(canvas, m_state, m_content);
        else
            m_painter.paintFast(canvas, m_state, m_content);
    }
    if (full)
        m_tools.setVisible(m_painter.visible());
    update();
}

void GraphPlotAreaPanel::endOverlay() {
    if (m_overlay)
        static_cast<OverlayCanvas*>(m_overlay)->end();
}

void GraphPlotAreaPanel::fullPaint() {
    paint(true);
    ++m_fullPaints;
}

void GraphPlotAreaPanel::fastPaint() {
    paint(false);
}

void GraphPlotAreaPanel::setAnnotationList(annotations::GraphDrawList* list) {
    m_list = list;
    m_tools.setList(list);
}

void GraphPlotAreaPanel::wipeOverlay() {
    if (m_clean.isNull() || m_clean.size() != m_visible.size())
        return;
    m_visible = m_clean.copy();
    update();
}

void GraphPlotAreaPanel::annotationsReloaded() {
    m_tools.listReloaded();
}

void GraphPlotAreaPanel::resizeEvent(QResizeEvent*) {
    ensureImages();
}

void GraphPlotAreaPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_visible);
}

void GraphPlotAreaPanel::wheelEvent(QWheelEvent* event) {
    // One step per notch (120 units); high-resolution wheels add up to a notch first.
    m_wheelRemainder += event->angleDelta().y();
    while (m_wheelRemainder >= 120) {
        m_wheelRemainder -= 120;
        emit wheelStep(-1, event->modifiers());
    }
    while (m_wheelRemainder <= -120) {
        m_wheelRemainder += 120;
        emit wheelStep(1, event->modifiers());
    }
    event->accept();
}

void GraphPlotAreaPanel::mouseMoveEvent(QMouseEvent* event) {
    // Moves that arrive faster than they can be drawn are folded into one: the position is
    // taken when the event loop comes back, after the events queued behind this one.
    m_pendingMotion = event->position().toPoint();
    m_pointerInside = rect().contains(m_pendingMotion);
    if (!m_motionQueued) {
        m_motionQueued = true;
        QMetaObject::invokeMethod(this, &GraphPlotAreaPanel::processMotion, Qt::QueuedConnection);
    }
}

void GraphPlotAreaPanel::processMotion() {
    m_motionQueued = false;
    if (m_state.busy || !m_pointerInside)
        return;
    ensureImages();
    bool changed = false;
    {
        OverlayCanvas canvas(m_visible, m_clean);
        m_overlay = &canvas;
        changed = m_tools.onMotion(canvas, m_pendingMotion.x(), m_pendingMotion.y());
        m_overlay = nullptr;
    }
    ++m_motions;
    if (changed)
        update();
}

void GraphPlotAreaPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    ensureImages();
    const QPoint at = event->position().toPoint();
    // The press acts on what lies under the pointer now. Moves are processed late (folded into
    // one queued call), so a move and a press that arrive together would otherwise meet the
    // hover state of an earlier position: a click on an element would miss it (it stays
    // unselected, and only the hover frame is drawn). The pending move is processed first.
    m_pendingMotion = at;
    m_pointerInside = true;
    processMotion();
    m_tools.onPress(at.x(), at.y(), event->modifiers().testFlag(Qt::ControlModifier));
    update();
}

void GraphPlotAreaPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_tools.onRelease();
}

void GraphPlotAreaPanel::keyPressEvent(QKeyEvent* event) {
    if (chartActionForKey(*event) == ChartAction::DeleteSelection) {
        m_tools.onDelete();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void GraphPlotAreaPanel::leaveEvent(QEvent* event) {
    // The snap label, cross or hover frame would otherwise stay on the chart, over whatever
    // the pointer goes to next.
    m_pointerInside = false;
    ensureImages();
    bool changed = false;
    {
        OverlayCanvas canvas(m_visible, m_clean);
        m_overlay = &canvas;
        changed = m_tools.onLeave(canvas);
        m_overlay = nullptr;
    }
    if (changed)
        update();
    QWidget::leaveEvent(event);
}

void GraphPlotAreaPanel::recordStep(std::vector<annotations::GraphDrawElement*> elements) {
    emit annotationsChanged(std::move(elements));
}

void GraphPlotAreaPanel::showEditor(const annotations::EditorRequest& request) {
    m_editor->open(request.rect, request.text, request.textColor, request.fontFace, request.fontSize);
}

void GraphPlotAreaPanel::hideEditor() {
    const bool hadFocus = m_editor->edit()->hasFocus();
    m_editor->close();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

std::string GraphPlotAreaPanel::editorText() const {
    return m_editor->text();
}

bool GraphPlotAreaPanel::editorHasFocus() const {
    return m_editor->isVisible() && m_editor->edit()->hasFocus();
}

} // namespace tavora::chart::ui

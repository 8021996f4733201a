#pragma once
// The drawing surface of a chart panel: a visible image the chart is painted into and the
// clean copy of the last full paint, which the pointer tools draw over and wipe with. Full
// and fast paints go through the chart painting functions on a QtCanvas; the widget only
// copies the visible image to the screen. Pointer events go to the pointer tools (motion
// coalesced: the latest position once per event-loop turn); it takes the keyboard focus
// (click or Tab) for the chart's keys (ChartKeyboard.h) and reports wheel notches to the
// panel. UI thread only.
#include "annotations/GraphDrawList.h"
#include "annotations/PointerTools.h"
#include "annotations/TextElm.h"
#include "chart/ChartPainter.h"
#include "chart/GraphViewState.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <vector>

namespace tavora::chart::ui {

class GraphPlotEdit;

class GraphPlotAreaPanel : public QWidget, private annotations::PointerToolHost {
    Q_OBJECT
public:
    // `content` (title, annotations) is owned by the panel and read at every paint; the plot
    // area refreshes its annotations from the element list before a full paint.
    GraphPlotAreaPanel(GraphViewState& state, ChartContent& content, QWidget* parent);
    ~GraphPlotAreaPanel() override;

    // Repaints every layer into the visible image and refreshes the clean copy.
    void fullPaint();
    // Repaints without volume and annotations (while a scroll bar is dragged).
    void fastPaint();

    // Wipes what the pointer tools drew (the picture of the last paint is shown again).
    void wipeOverlay();
    // The period's elements while a code is shown (null otherwise).
    void setAnnotationList(annotations::GraphDrawList* list);
    // The list was reloaded: every element pointer the tools hold is dropped.
    void annotationsReloaded();
    annotations::PointerTools& tools() { return m_tools; }
    GraphPlotEdit* editor() const { return m_editor; }

    const QImage& visibleImage() const { return m_visible; }
    const QImage& cleanCopy() const { return m_clean; }
    const ChartPainter& painter() const { return m_painter; }
    int fullPaintCount() const { return m_fullPaints; }
    // Pointer positions processed (after coalescing).
    int motionsProcessed() const { return m_motions; }

signals:
    // One wheel notch: -1 forward, +1 backward, with the keyboard modifiers held (what a
    // notch does: ChartKeyboard.h).
    void wheelStep(int direction, Qt::KeyboardModifiers modifiers);
    // Edge scrolling of a measurement: one step of the scroll bars, to be repainted fast.
    void edgeScroll(int dx, int dy);
    // Elements finished, edited or deleted: one history step (notifications 138, 140).
    void annotationsChanged(std::vector<annotations::GraphDrawElement*> elements);
    // The memo editor for a memo (command 147).
    void memoRequested(annotations::MemoElm* memo);
    // A click while no code is open (command 265).
    void codeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ensureImages();
    void paint(bool full);
    void processMotion();
    void endOverlay();

    // annotations::PointerToolHost
    void repaintFull() override { fullPaint(); }
    void scrollStep(int dx, int dy) override { emit edgeScroll(dx, dy); }
    void recordStep(std::vector<annotations::GraphDrawElement*> elements) override;
    void openMemo(annotations::MemoElm& memo) override { emit memoRequested(&memo); }
    void requestCode() override { emit codeRequested(); }
    void showEditor(const annotations::EditorRequest& request) override;
    void hideEditor() override;
    std::string editorText() const override;
    bool editorHasFocus() const override;
    int titleBottom() const override { return m_painter.titleBottom(); }

    GraphViewState& m_state;
    ChartContent& m_content;
    ChartPainter m_painter;
    annotations::GraphDrawList* m_list = nullptr;
    annotations::PointerTools m_tools;
    GraphPlotEdit* m_editor;
    QImage m_visible;
    QImage m_clean;
    int m_fullPaints = 0;
    int m_wheelRemainder = 0;
    QPoint m_pendingMotion;
    bool m_motionQueued = false;
    bool m_pointerInside = false; // a move queued before the pointer left is not drawn
    int m_motions = 0;
    framework::Canvas* m_overlay = nullptr; // the pointer tools' canvas while they draw
};

} // namespace tavora::chart::ui

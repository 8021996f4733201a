#pragma once
// The floating window of one period: it hosts the period's GraphPanel while the chart is
// detached from the Home page. It opens where its tab was dropped, kept inside the screen's
// available area. Closing or minimising it does neither; it asks the Home page to dock the
// chart again. UI thread only.
#include <QMargins>
#include <QRect>
#include <QWidget>

namespace tavora::chart::ui {

class GraphPanel;

// The client geometry of a floating window of `wanted` client size dropped at `drop`: its
// frame's top-left corner a little above and left of the drop point (so the pointer is on its
// title bar), its frame (`frame` around the client) moved and, when larger, shrunk to lie
// inside `available`.
QRect floatingGeometry(const QRect& available, const QPoint& drop, const QSize& wanted,
                       const QMargins& frame);

class GraphDialog : public QWidget {
    Q_OBJECT
public:
    GraphDialog(const QString& caption, QWidget* owner);

    // Re-parents the panel into this window and shows it, `size` large, at the drop point
    // (screen coordinates).
    void hostPanel(GraphPanel* panel, const QPoint& dropPoint, const QSize& size);
    // Moves the shown window to a new drop point (while its tab is being dragged).
    void moveToDropPoint(const QPoint& dropPoint);
    // Forgets the panel (the caller re-parents it) and hides the window.
    GraphPanel* releasePanel();
    GraphPanel* panel() const { return m_panel; }

signals:
    void redockRequested(GraphDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The window manager's frame once known; before the first showing, a usual one.
    QMargins frameMargins() const;
    void place(const QPoint& dropPoint, const QSize& size);

    GraphPanel* m_panel = nullptr;
};

} // namespace tavora::chart::ui

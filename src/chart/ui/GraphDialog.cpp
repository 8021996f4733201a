#include "chart/ui/GraphDialog.h"

#include "chart/ui/GraphPanel.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace tavora::chart::ui {

namespace {
// Where the pointer holds the window: this far right of its frame's left edge, on its title bar.
constexpr int GrabX = 40;
constexpr int MinimumSide = 120;
// A usual decoration until the window manager has framed the window once.
const QMargins kUsualFrame(4, 28, 4, 4);
} // namespace

QRect floatingGeometry(const QRect& available, const QPoint& drop, const QSize& wanted,
                       const QMargins& frame) {
    const int frameW = frame.left() + frame.right();
    const int frameH = frame.top() + frame.bottom();
    const QSize client(std::max(MinimumSide, std::min(wanted.width(), available.width() - frameW)),
                       std::max(MinimumSide, std::min(wanted.height(), available.height() - frameH)));
    const QSize outer(client.width() + frameW, client.height() + frameH);
    QPoint topLeft(drop.x() - GrabX, drop.y() - frame.top() / 2);
    // Inside the available area; a window larger than it keeps its top-left corner visible.
    topLeft.setX(std::max(available.left(), std::min(topLeft.x(), available.right() + 1 - outer.width())));
    topLeft.setY(std::max(available.top(), std::min(topLeft.y(), available.bottom() + 1 - outer.height())));
    return QRect(topLeft + QPoint(frame.left(), frame.top()), client);
}

GraphDialog::GraphDialog(const QString& caption, QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("GraphDialog");
    setWindowTitle(caption);
    hide();
}

QMargins GraphDialog::frameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins known(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    return testAttribute(Qt::WA_WState_Created) && !known.isNull() ? known : kUsualFrame;
}

void GraphDialog::place(const QPoint& dropPoint, const QSize& size) {
    const QScreen* screen = QGuiApplication::screenAt(dropPoint);
    if (!screen)
        screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    setGeometry(floatingGeometry(screen->availableGeometry(), dropPoint, size, frameMargins()));
}

void GraphDialog::hostPanel(GraphPanel* panel, const QPoint& dropPoint, const QSize& size) {
    m_panel = panel;
    panel->setParent(this);
    place(dropPoint, size);
    panel->setGeometry(rect());
    panel->show();
    show();
    raise();
}

void GraphDialog::moveToDropPoint(const QPoint& dropPoint) {
    if (isVisible())
        place(dropPoint, size());
}

GraphPanel* GraphDialog::releasePanel() {
    GraphPanel* panel = m_panel;
    m_panel = nullptr;
    hide();
    return panel;
}

void GraphDialog::resizeEvent(QResizeEvent*) {
    if (m_panel)
        m_panel->setGeometry(rect());
}

void GraphDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_panel)
        emit redockRequested(this);
}

void GraphDialog::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && m_panel) {
        // Minimising docks the chart again instead; leave the state change first.
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            if (m_panel)
                emit redockRequested(this);
        });
    }
}

}  // namespace tavora::chart::ui

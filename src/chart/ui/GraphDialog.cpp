#include "chart/ui/GraphDialog.h"

#include "chart/ui/GraphPanel.h"

#include <QCloseEvent>
#include <QTimer>

namespace tavora::chart::ui {

GraphDialog::GraphDialog(const QString& caption, QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("GraphDialog");
    setWindowTitle(caption);
    hide();
}

void GraphDialog::hostPanel(GraphPanel* panel, const QRect& geometry) {
    m_panel = panel;
    panel->setParent(this);
    setGeometry(geometry);
    panel->setGeometry(rect());
    panel->show();
    show();
    raise();
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

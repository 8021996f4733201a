#include "framework/ui/ShadowPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavora::framework::ui {

ShadowPanel::ShadowPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("shadowpanel");
    hide();
}

void ShadowPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 90));
}

void ShadowPanel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

}  // namespace tavora::framework::ui

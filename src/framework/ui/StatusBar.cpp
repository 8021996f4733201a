#include "framework/ui/StatusBar.h"

#include "framework/ui/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tavora::framework::ui {

namespace {
constexpr int WaitWidth = 60;  // room at the right edge for the wait animation
constexpr int ProgressWidth = 160;
}  // namespace

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent), m_label(new QLabel(this)), m_progress(new QProgressBar(this)), m_waitTimer(new QTimer(this)) {
    setObjectName("statusbar");
    setFixedHeight(Height);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, themeColor(4));
    setPalette(pal);
    m_label->setObjectName("statustext");
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_waitTimer->setInterval(80);
    connect(m_waitTimer, &QTimer::timeout, this, [this] {
        m_waitPhase = (m_waitPhase + 1) % 8;
        update(width() - WaitWidth, 0, WaitWidth, height());
    });
}

QString StatusBar::text() const { return m_label->text(); }
int StatusBar::progress() const { return m_progress->isVisible() ? m_progress->value() : -1; }

void StatusBar::setText(const QString& text) {
    m_label->setText(text);
    emit textChanged(text);
}

void StatusBar::setProgress(int percent) {
    if (percent < 0) {
        m_progress->hide();
        return;
    }
    m_progress->setValue(std::min(percent, 100));
    m_progress->show();
}

void StatusBar::startWait() {
    m_waiting = true;
    m_waitTimer->start();
    update();
}

void StatusBar::stopWait() {
    m_waiting = false;
    m_waitTimer->stop();
    setProgress(-1);
    update();
}

void StatusBar::resizeEvent(QResizeEvent*) {
    const int w = width();
    m_label->setGeometry(8, 0, std::max(0, w - ProgressWidth - WaitWidth - 16), Height);
    m_progress->setGeometry(w - ProgressWidth - WaitWidth, 7, ProgressWidth - 8, Height - 14);
}

void StatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(themeColor(7));
    p.drawLine(0, 0, width(), 0);
    if (!m_waiting)
        return;
    // Eight dots round a circle, the lead dot darkest: the usual "busy" wheel.
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width() - WaitWidth / 2.0, Height / 2.0);
    for (int i = 0; i < 8; ++i) {
        const double angle = (i * 45.0) * 3.14159265358979 / 180.0;
        const int age = (m_waitPhase - i + 8) % 8;
        QColor c = themeColor(1);
        c.setAlpha(255 - age * 28);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.drawEllipse(centre + QPointF(7 * std::cos(angle), 7 * std::sin(angle)), 2.0, 2.0);
    }
}

}  // namespace tavora::framework::ui

#include "framework/ui/NoticePopup.h"

#include "framework/ui/Theme.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace tavora::framework::ui {

NoticePopup::NoticePopup(const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_icon(new QLabel(this)),
      m_text(new QLabel(this)), m_growTimer(new QTimer(this)), m_stayTimer(new QTimer(this)),
      m_shrinkTimer(new QTimer(this)) {
    setObjectName("noticepopup");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, themeColor(1));
    setPalette(pal);
    m_icon->setPixmap(icon.pixmap(24, 24));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_growTimer->setInterval(10);
    m_shrinkTimer->setInterval(10);
    m_stayTimer->setSingleShot(true);
    m_stayTimer->setInterval(StayMs);
    connect(m_growTimer, &QTimer::timeout, this, &NoticePopup::growStep);
    connect(m_shrinkTimer, &QTimer::timeout, this, &NoticePopup::shrinkStep);
    connect(m_stayTimer, &QTimer::timeout, m_shrinkTimer, qOverload<>(&QTimer::start));
}

void NoticePopup::showNotice(const QString& text, const QColor& textColor, int targetWidth) {
    m_text->setText(text);
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::WindowText, textColor);
    m_text->setPalette(pal);
    m_targetWidth = targetWidth;
    m_shrinkTimer->stop();
    m_stayTimer->stop();
    placeAtWidth(1);
    show();
    raise();
    m_growTimer->start();
}

QRect NoticePopup::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
}

// During the slides the pop-up hugs the right edge of the work area, 20 pixels above its
// bottom.
void NoticePopup::placeAtWidth(int width) {
    const QRect area = workArea();
    setGeometry(area.right() + 1 - width, area.bottom() + 1 - CornerInset - SettledHeight, width, SettledHeight);
}

void NoticePopup::growStep() {
    if (std::abs(m_targetWidth - width()) <= 2) {
        m_growTimer->stop();
        const QRect area = workArea();
        setGeometry(area.right() + 1 - CornerInset - SettledWidth, area.bottom() + 1 - CornerInset - SettledHeight,
                    SettledWidth, SettledHeight);
        m_stayTimer->start();
        return;
    }
    placeAtWidth(width() + (m_targetWidth - width()) / 2);
}

void NoticePopup::shrinkStep() {
    const int next = width() / 2;
    if (next < 3) {
        m_shrinkTimer->stop();
        close();
        return;
    }
    placeAtWidth(next);
}

void NoticePopup::resizeEvent(QResizeEvent*) {
    m_icon->setGeometry(8, 8, 24, 24);
    m_text->setGeometry(40, 8, std::max(0, width() - 48), std::max(0, height() - 16));
}

void NoticePopup::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

}  // namespace tavora::framework::ui

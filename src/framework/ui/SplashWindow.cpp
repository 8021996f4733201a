#include "framework/ui/SplashWindow.h"

#include "framework/ui/Theme.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace tavora::framework::ui {

namespace {
constexpr int Width = 460;
constexpr int Height = 260;
}  // namespace

SplashWindow::SplashWindow(const QIcon& icon, const QString& caption)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_status(new QLabel(this)), m_bar(new QProgressBar(this)), m_caption(caption), m_icon(icon) {
    setObjectName("splash");
    resize(Width, Height);
    m_status->setGeometry(24, Height - 64, Width - 48, 20);
    m_status->setObjectName("splashstatus");
    m_bar->setGeometry(24, Height - 36, Width - 48, 10);
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    m_bar->setValue(0);
    QPalette pal = m_bar->palette();
    pal.setColor(QPalette::Highlight, themeColor(1));
    m_bar->setPalette(pal);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString SplashWindow::currentText() const { return m_status->text(); }

void SplashWindow::status(const std::string& text) {
    const QString t = QString::fromStdString(text);
    m_shown << t;
    m_status->setText(t);
    // Start-up blocks the event loop; let the new text reach the screen.
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void SplashWindow::percent(int value) {
    m_bar->setValue(std::clamp(value, 0, 100));
    if (isVisible())
        m_bar->repaint();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, Height);
    ground.setColorAt(0, themeColor(4));
    ground.setColorAt(1, themeColor(2));
    p.fillRect(rect(), ground);
    p.setPen(themeColor(7));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    m_icon.paint(&p, QRect(32, 48, 72, 72));
    QFont big = font();
    big.setPointSize(26);
    big.setBold(true);
    p.setFont(big);
    p.setPen(themeColor(3));
    p.drawText(QRect(124, 44, Width - 140, 48), Qt::AlignLeft | Qt::AlignVCenter, m_caption.section(' ', 0, 0));
    QFont small = font();
    small.setPointSize(11);
    p.setFont(small);
    p.setPen(themeColor(1));
    p.drawText(QRect(126, 92, Width - 140, 24), Qt::AlignLeft | Qt::AlignVCenter, m_caption.section(' ', 1));
}

}  // namespace tavora::framework::ui

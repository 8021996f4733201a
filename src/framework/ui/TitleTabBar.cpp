#include "framework/ui/TitleTabBar.h"

#include "framework/ui/Theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tavora::framework::ui {

TitleTabBar::TitleTabBar(const QIcon& icon, const QString& caption, std::vector<Tab> tabs, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_caption(caption), m_tabs(std::move(tabs)) {
    setObjectName("titlebar");
    setFixedHeight(Height);
}

void TitleTabBar::setCurrentIndex(int index) {
    if (index < 0 || index >= count())
        return;
    m_current = index;
    update();
}

QRect TitleTabBar::tabRect(int index) const {
    const Tab& t = m_tabs.at(std::size_t(index));
    return QRect(t.left, 4, t.width, Height - 4);
}

void TitleTabBar::setTabEnabled(int index, bool enabled) {
    m_tabs.at(std::size_t(index)).enabled = enabled;
    update();
}

void TitleTabBar::clickTab(int index) {
    if (index < 0 || index >= count() || !isTabEnabled(index))
        return;
    const int previous = m_current;
    m_current = index;
    update();
    emit tabSelected(index, previous);
}

void TitleTabBar::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(event->position().toPoint())) {
            clickTab(i);
            return;
        }
}

void TitleTabBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), themeColor(1));
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        const bool selected = i == m_current;
        QPainterPath path;
        path.addRoundedRect(QRectF(r).adjusted(0, 0, 0, 6), 4, 4);
        p.fillPath(path, selected ? themeColor(4) : themeColor(1).lighter(115));
        p.setPen(selected ? themeColor(3) : isTabEnabled(i) ? QColor(Qt::white) : themeColor(7));
        p.drawText(r, Qt::AlignCenter, m_tabs[std::size_t(i)].caption);
    }
    QFontMetrics fm(font());
    const int textWidth = fm.horizontalAdvance(m_caption);
    const int textLeft = width() - textWidth - 10;
    m_icon.paint(&p, QRect(textLeft - 30, (Height - 24) / 2, 24, 24));
    p.setPen(Qt::white);
    p.drawText(QRect(textLeft, 0, textWidth + 4, Height), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}

}  // namespace tavora::framework::ui

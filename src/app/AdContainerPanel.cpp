#include "app/AdContainerPanel.h"

#include "framework/ui/Browser.h"
#include "framework/ui/Theme.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

namespace tavora::app {

QString adPagePath(const QString& symbol, bool isIndexOrNone) {
    if (isIndexOrNone)
        return "/blog/";
    return QString("/meigara/meigarainfo.html?code=%1").arg(symbol);
}

int nextAdViewType(int viewType) {
    switch (viewType) {
    case 1:
        return 2;
    case 2:
        return 0;
    default:
        return 1;
    }
}

int adPanelWidth(int viewType, int homeWidth) {
    switch (viewType) {
    case 0:
        return 0;
    case 2:
        return homeWidth / 2;
    default:
        return 400;
    }
}

AdContainerPanel::AdContainerPanel(QWidget* parent)
    : QWidget(parent), m_caption(new QLabel("銘柄情報", this)), m_link(new QLabel(this)) {
    setObjectName("adcontainerpanel");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, framework::ui::themeColor(6));
    setPalette(pal);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    m_link->setObjectName("adlink");
    m_link->setWordWrap(true);
    m_link->setTextFormat(Qt::RichText);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    // The default browser, like every other page link, and the same message when none starts.
    connect(m_link, &QLabel::linkActivated, this, [this](const QString& link) {
        framework::ui::Browser::open(this, QUrl(link), m_caption->text());
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(m_caption);
    layout->addWidget(m_link);
    layout->addStretch();
}

void AdContainerPanel::navigate(const QString& url) {
    m_address = url;
    m_link->setText(QString("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), url.toHtmlEscaped()));
}

HomeHeadAdButtonPanel::HomeHeadAdButtonPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("adbutton");
    setFixedSize(10, 10);
    setCursor(Qt::PointingHandCursor);
    setToolTip("サイドパネルの幅を切り替える");
}

void HomeHeadAdButtonPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), framework::ui::themeColor(1));
    p.setPen(Qt::white);
    p.drawLine(2, 5, 7, 5);
    p.drawLine(5, 2, 2, 5);
    p.drawLine(5, 8, 2, 5);
}

void HomeHeadAdButtonPanel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked();
}

}  // namespace tavora::app

#include "settings/ui/SettingsSection.h"

#include "framework/ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavora::settings::ui {

namespace {

constexpr int MarkSize = 64;

// The settings mark: a toothed wheel in the accent colour.
QPixmap settingsMark() {
    QPixmap pm(MarkSize, MarkSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(MarkSize / 2.0, MarkSize / 2.0);
    const QColor accent = framework::ui::themeColor(1);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.rotate(i * 45.0);
        p.fillRect(QRectF(-5, -29, 10, 12), accent);
        p.restore();
    }
    QPainterPath wheel;
    wheel.addEllipse(QPointF(0, 0), 21, 21);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 8, 8);
    p.fillPath(wheel.subtracted(hole), accent);
    return pm;
}

} // namespace

SettingsSection::SettingsSection(app::AppContext& ctx, const QString& treeCaption, const QString& title,
                                 const QString& description, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_treeCaption(treeCaption), m_title(title), m_description(description),
      m_body(new QVBoxLayout) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 16, 20, 16);
    auto* head = new QHBoxLayout;
    auto* mark = new QLabel(this);
    mark->setPixmap(settingsMark());
    mark->setFixedSize(MarkSize, MarkSize);
    auto* heading = new QLabel(title, this);
    heading->setObjectName("sectiontitle");
    QFont f = heading->font();
    f.setPointSize(15);
    heading->setFont(f);
    head->addWidget(mark);
    head->addSpacing(10);
    head->addWidget(heading, 1);
    outer->addLayout(head);
    outer->addSpacing(12);
    outer->addLayout(m_body, 1);
}

SettingsSection::~SettingsSection() = default;

QLabel* SettingsSection::addCaption(const QString& text) {
    auto* caption = new QLabel(text, this);
    QFont f = caption->font();
    f.setBold(true);
    caption->setFont(f);
    caption->setStyleSheet(QString("border-bottom: 1px solid %1; padding-bottom: 3px;")
                               .arg(framework::ui::themeColor(7).name()));
    m_body->addWidget(caption);
    return caption;
}

} // namespace tavora::settings::ui

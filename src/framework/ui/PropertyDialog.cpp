#include "framework/ui/PropertyDialog.h"

#include "framework/ui/ShadowPanel.h"
#include "framework/ui/SideSheetPanel.h"
#include "framework/ui/Theme.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace tavora::framework::ui {

namespace {
constexpr int Margin = 10;  // the sheet is this much wider than its panel
}

PropertyDialog::PropertyDialog(QWidget* parent, ShadowPanel* shadow, int bottomReserve)
    : QWidget(parent), m_shadow(shadow), m_bottomReserve(bottomReserve), m_body(new QWidget(this)),
      m_bodyLayout(new QVBoxLayout(m_body)), m_apply(new QPushButton("適用", this)),
      m_close(new QPushButton("閉じる", this)), m_openTimer(new QTimer(this)), m_closeTimer(new QTimer(this)) {
    setObjectName("propertydialog");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, themeColor(5));
    setPalette(pal);

    m_apply->setObjectName("sheetapply");
    m_close->setObjectName("sheetclose");
    m_bodyLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin / 2, 4, Margin / 2, 4);
    layout->addWidget(m_body, 1);
    layout->addLayout(buttons);
    m_apply->hide();
    m_close->hide();

    connect(m_apply, &QPushButton::clicked, this, &PropertyDialog::applyRequested);
    connect(m_close, &QPushButton::clicked, this, &PropertyDialog::closeRequested);
    connect(m_shadow, &ShadowPanel::clicked, this, [this] {
        if (isOpen())
            emit closeRequested();
    });
    m_openTimer->setInterval(20);
    m_closeTimer->setInterval(10);
    connect(m_openTimer, &QTimer::timeout, this, &PropertyDialog::openStep);
    connect(m_closeTimer, &QTimer::timeout, this, &PropertyDialog::closeStep);
    setSheetWidth(ClosedWidth);
}

void PropertyDialog::addPanel(SideSheetPanel* panel) {
    panel->setParent(m_body);
    panel->hide();
    m_bodyLayout->addWidget(panel);
    connect(panel, &SideSheetPanel::applyAllowedChanged, this, [this, panel] {
        if (panel == m_current)
            m_apply->setEnabled(panel->canApply());
    });
}

void PropertyDialog::openPanel(SideSheetPanel* panel, int width) {
    m_closeTimer->stop();
    for (auto* other : m_body->findChildren<SideSheetPanel*>(QString(), Qt::FindDirectChildrenOnly))
        other->setVisible(false);
    m_current = panel;
    m_apply->setEnabled(!panel || panel->canApply());
    m_targetWidth = width + Margin;
    m_shadow->show();
    m_shadow->raise();
    raise();
    show();
    relayout();
    m_openTimer->start();
}

void PropertyDialog::closeSheet() {
    m_openTimer->stop();
    m_shadow->hide();
    m_targetWidth = ClosedWidth;
    m_closeTimer->start();
}

bool PropertyDialog::isSliding() const { return m_openTimer->isActive() || m_closeTimer->isActive(); }

void PropertyDialog::openStep() {
    if (std::abs(m_targetWidth - m_width) <= 2) {
        m_openTimer->stop();
        setSheetWidth(m_targetWidth);
        if (m_current)
            m_current->show();
        m_apply->show();
        m_close->show();
        emit slideFinished();
        return;
    }
    setSheetWidth(m_width + (m_targetWidth - m_width) / 2);
}

void PropertyDialog::closeStep() {
    const int next = m_width / 2;
    if (next < m_targetWidth + 2) {
        m_closeTimer->stop();
        if (m_current)
            m_current->hide();
        m_apply->hide();
        m_close->hide();
        setSheetWidth(ClosedWidth);
        emit slideFinished();
        return;
    }
    setSheetWidth(next);
}

void PropertyDialog::setSheetWidth(int width) {
    m_width = width;
    relayout();
}

void PropertyDialog::relayout() {
    auto* p = parentWidget();
    if (!p)
        return;
    setGeometry(p->width() - m_width, 0, m_width, p->height());
    if (m_shadow->isVisible())
        m_shadow->setGeometry(0, 0, std::max(0, p->width() - m_width), std::max(0, p->height() - m_bottomReserve));
}

}  // namespace tavora::framework::ui

#include "app/CodeSearchPopup.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tavora::app {

// A tool-tip window: it shows beside the search box without taking the keyboard from it, so
// the list can follow the text while the user types.
CodeSearchPopup::CodeSearchPopup(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_list(new QListWidget(this)) {
    setObjectName("codesearchpopup");
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { choose(m_list->row(item)); });
}

void CodeSearchPopup::showLines(const QStringList& lines, QWidget* anchor, int width) {
    m_list->clear();
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, m_list);
        item->setSizeHint(QSize(width, RowHeight));
    }
    const int height = std::min(int(lines.size()) * RowHeight + 2, MaxHeight);
    m_list->setMinimumSize(0, 0);
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    setFixedSize(width, height);
    show();
}

QStringList CodeSearchPopup::lines() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

void CodeSearchPopup::choose(int row) {
    if (row < 0 || row >= m_list->count())
        return;
    const QString line = m_list->item(row)->text();
    hide();
    emit chosen(line);
}

}  // namespace tavora::app

#include "app/CodeSearchPopup.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tavora::app {

namespace {
constexpr int PositionRole = Qt::UserRole;
}

// A tool-tip window: it shows beside the search box without taking the keyboard from it, so
// the list can follow the text while the user types.
CodeSearchPopup::CodeSearchPopup(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_list(new QListWidget(this)) {
    setObjectName("codesearchpopup");
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // long names end in "…"
    m_list->setTextElideMode(Qt::ElideRight);
    // The popup never becomes the active window; its highlight must look as in one that is.
    QPalette pal = m_list->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    m_list->setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { choose(m_list->row(item)); });
}

void CodeSearchPopup::showLines(const QStringList& lines, const std::vector<std::size_t>& positions,
                                QWidget* anchor, int width) {
    m_list->clear();
    for (int i = 0; i < lines.size(); ++i) {
        auto* item = new QListWidgetItem(lines[i], m_list);
        item->setSizeHint(QSize(1, RowHeight)); // as wide as the list; the height is the row's
        item->setToolTip(lines[i]);
        if (std::size_t(i) < positions.size())
            item->setData(PositionRole, QVariant::fromValue<qulonglong>(positions[std::size_t(i)]));
    }
    // Whole lines only: the last line in view is never cut.
    const int frame = 2 * m_list->frameWidth();
    const int rows = std::min(int(lines.size()), (MaxHeight - frame) / RowHeight);
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    setFixedSize(width, rows * RowHeight + frame);
    m_list->setCurrentRow(-1);
    m_list->scrollToTop();
    show();
}

QStringList CodeSearchPopup::lines() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

int CodeSearchPopup::visibleRows() const {
    return (height() - 2 * m_list->frameWidth()) / RowHeight;
}

int CodeSearchPopup::highlighted() const {
    return m_list->currentRow();
}

void CodeSearchPopup::moveHighlight(int step) {
    const int count = m_list->count();
    if (count == 0 || step == 0)
        return;
    const int current = m_list->currentRow();
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : std::clamp(current + step, 0, count - 1);
    m_list->setCurrentRow(next);
    m_list->scrollToItem(m_list->item(next));
}

void CodeSearchPopup::choose(int row) {
    if (row < 0 || row >= m_list->count())
        return;
    const QListWidgetItem* item = m_list->item(row);
    const QString line = item->text();
    const std::size_t position = std::size_t(item->data(PositionRole).toULongLong());
    hide();
    emit chosen(line, position);
}

} // namespace tavora::app

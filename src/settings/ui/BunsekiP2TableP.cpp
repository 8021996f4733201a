#include "settings/ui/BunsekiP2TableP.h"

#include <QHeaderView>

namespace tavora::settings::ui {

namespace {
constexpr int RowHeight = 25;
constexpr int ShownColumn = 1;
const char* const kHeaders[9] = {"グラフ名", "表示", "色", "太さ", "線種", "式", "種類", "param1", "param2"};
} // namespace

BunsekiP2TableP::BunsekiP2TableP(QWidget* parent) : QTableWidget(0, 9, parent) {
    setObjectName("BunsekiP2TableP");
    QStringList headers;
    for (const char* h : kHeaders)
        headers << QString::fromUtf8(h);
    setHorizontalHeaderLabels(headers);
    horizontalHeader()->setFixedHeight(25);
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(0, 250);
    setColumnWidth(ShownColumn, 40);
    for (int c = 2; c < 9; ++c)
        setColumnHidden(c, true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(RowHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 255));
    pal.setColor(QPalette::AlternateBase, QColor(244, 244, 244));
    setPalette(pal);

    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == ShownColumn)
            emit shownClicked(row);
    });
    connect(this, &QTableWidget::itemSelectionChanged, this, [this] {
        if (const auto row = selectedRow())
            emit rowSelected(*row);
    });
}

void BunsekiP2TableP::setRows(const std::vector<analysis::BunsekiRow>& rows, std::optional<int> selected) {
    const QSignalBlocker block(this);
    clearSelection();
    setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < 9; ++c) {
            const auto& text = rows[std::size_t(r)][std::size_t(c)];
            auto* item = new QTableWidgetItem(c == ShownColumn ? QString() : QString::fromStdString(text));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c == ShownColumn)
                item->setCheckState(text == "1" ? Qt::Checked : Qt::Unchecked);
            setItem(r, c, item);
        }
    }
    if (selected && *selected >= 0 && *selected < rowCount())
        selectRow(*selected);
}

std::optional<int> BunsekiP2TableP::selectedRow() const {
    const auto rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return rows.front().row();
}

} // namespace tavora::settings::ui

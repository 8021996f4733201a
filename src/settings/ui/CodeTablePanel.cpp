#include "settings/ui/CodeTablePanel.h"

#include "framework/CsvReader.h"
#include "framework/Files.h"

#include <QHeaderView>

namespace tavora::settings::ui {

namespace {
struct Column {
    const char* caption;
    int width;
};
constexpr Column kColumns[] = {{"コード", 100}, {"銘柄名", 300}, {"業種", 120}, {"市場", 150}};
} // namespace

CodeTablePanel::CodeTablePanel(QWidget* parent) : QTableWidget(parent) {
    setObjectName("CodeTablePanel");
    setColumnCount(int(std::size(kColumns)));
    QStringList captions;
    for (const auto& c : kColumns)
        captions << QString::fromUtf8(c.caption);
    setHorizontalHeaderLabels(captions);
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        setColumnWidth(i, kColumns[i].width);
    horizontalHeader()->setFixedHeight(RowHeight);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(CornerWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
}

void CodeTablePanel::initPanel(const std::string& path) {
    m_path = path;
    setRowCount(0);
    if (path.empty() || !framework::isliveFile(path))
        return;
    const auto read = framework::ReadCsvFileInfo(path, framework::CsvEncoding::Utf8, ',');
    if (!read.ok())
        return;
    setUpdatesEnabled(false);
    setRowCount(int(read.rows.size()));
    for (int r = 0; r < int(read.rows.size()); ++r) {
        const auto& record = read.rows[std::size_t(r)];
        for (int c = 0; c < columnCount(); ++c) {
            const std::string text = std::size_t(c) < record.size() ? record[std::size_t(c)] : std::string();
            setItem(r, c, new QTableWidgetItem(QString::fromStdString(text)));
        }
    }
    setUpdatesEnabled(true);
}

} // namespace tavora::settings::ui

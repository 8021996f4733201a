#include "csv/ui/CsvPreviewTable.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavora::csv::ui {

CsvPreviewTable::CsvPreviewTable(QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(0, static_cast<int>(kPreviewCaptions.size()), this)),
      m_count(new QLabel(this)) {
    setObjectName("CSVTourokuTable");
    m_table->setObjectName("previewTable");
    m_count->setObjectName("previewCount");
    m_count->setWordWrap(true);
    m_count->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QStringList captions;
    for (const char* c : kPreviewCaptions)
        captions << QString::fromUtf8(c);
    m_table->setHorizontalHeaderLabels(captions);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setDefaultSectionSize(22);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);
    clear();
}

void CsvPreviewTable::clear() {
    m_table->setRowCount(0);
    m_count->setText("計");
}

void CsvPreviewTable::showMessage(const QString& text) {
    m_table->setRowCount(0);
    m_count->setText(text);
}

void CsvPreviewTable::showPreview(const CsvPreview& preview) {
    m_table->setRowCount(static_cast<int>(preview.rows.size()));
    for (std::size_t r = 0; r < preview.rows.size(); ++r)
        for (std::size_t c = 0; c < preview.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(preview.rows[r][c]));
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    const QString name = QString::fromStdString(preview.file.filename().string());
    if (!preview.error.empty()) {
        m_count->setText(QString("%1: 登録できません: %2").arg(name, QString::fromStdString(preview.error)));
        return;
    }
    QString text = QString::fromStdString(previewCountText(preview.parsedRows));
    if (preview.skipped > 0) {
        text += QString("　読み飛ばす行 %1件").arg(preview.skipped);
        QStringList reasons;
        for (const auto& skip : preview.skips)
            reasons << QString("%1行目: %2").arg(skip.line).arg(QString::fromStdString(skip.reason));
        if (!reasons.isEmpty())
            text += "（" + reasons.first() + (reasons.size() > 1 ? " ほか" : "") + "）";
        m_count->setToolTip(reasons.join("\n"));
    } else {
        m_count->setToolTip(QString());
    }
    m_count->setText(text);
}

QString CsvPreviewTable::countText() const {
    return m_count->text();
}

} // namespace tavora::csv::ui

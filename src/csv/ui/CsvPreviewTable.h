#pragma once
// The preview of the rows a file gives through the mapping (CSVTourokuTable): code, date,
// open, high, low, close and volume of at most 100 rows, and below them the count "計 %d件"
// with the rows skipped, or why the file is refused. UI thread only.
#include "csv/CsvPreview.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace tavora::csv::ui {

class CsvPreviewTable : public QWidget {
    Q_OBJECT
public:
    explicit CsvPreviewTable(QWidget* parent = nullptr);

    void showPreview(const CsvPreview& preview);
    // Empties the table; the count reads "計".
    void clear();
    // A line instead of the rows (no file, reading...).
    void showMessage(const QString& text);

    QTableWidget* table() const { return m_table; }
    QString countText() const;

private:
    QTableWidget* m_table;
    QLabel* m_count;
};

} // namespace tavora::csv::ui

#pragma once
// The table of the analysis-graph editor: one 25-pixel row per graph with its name and a
// check box for "表示"; the other seven cells (colour, width, line type, formula, kind and
// the two parameters) are kept in hidden columns. Rows alternate white and light grey.
// It shows the rows it is given and reports clicks; the editor owns the rows. UI thread only.
#include "analysis/BunsekiTable.h"

#include <QTableWidget>

#include <optional>
#include <vector>

namespace tavora::settings::ui {

class BunsekiP2TableP : public QTableWidget {
    Q_OBJECT
public:
    explicit BunsekiP2TableP(QWidget* parent = nullptr);

    // Shows the rows; the row `selected` (when given) stays selected.
    void setRows(const std::vector<analysis::BunsekiRow>& rows, std::optional<int> selected = std::nullopt);
    // The row of the table selected now, or none.
    std::optional<int> selectedRow() const;

signals:
    void rowSelected(int row);
    void shownClicked(int row);
};

} // namespace tavora::settings::ui

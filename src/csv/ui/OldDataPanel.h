#pragma once
// The side-sheet panel of the old data format (OldDataFukugenP): the code folders of
// releases up to 1.25 found below data/code. "実行" says that taking them over is not
// available; nothing touches the folders. UI thread only.
#include "framework/ui/SideSheetPanel.h"

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tavora::csv::ui {

class OldDataPanel : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    static constexpr int Width = 850;

    explicit OldDataPanel(QWidget* parent = nullptr);

    QString panelName() const override { return "旧式データ取込み"; }

    // The names shown (at most the table's 4000 rows) and how many folders there are.
    void setFolders(const std::vector<std::string>& names, std::size_t total);
    QTableWidget* table() const { return m_table; }
    QPushButton* runButton() const { return m_run; }

private:
    QPushButton* m_run;
    QTableWidget* m_table;
    QLabel* m_count;
};

} // namespace tavora::csv::ui

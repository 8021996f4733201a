#pragma once
// The side-sheet panel shown before a registration (CSVTourokuP): the preview of the first
// file through the mapping, the backup option (the setting buckupcreate_ch) and the run
// button. UI thread only.
#include "framework/ui/SideSheetPanel.h"

class QCheckBox;
class QPushButton;

namespace tavora::csv {
struct CsvPreview;
}

namespace tavora::csv::ui {

class CsvPreviewTable;

class CsvRegisterPanel : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    static constexpr int Width = 850;

    explicit CsvRegisterPanel(QWidget* parent = nullptr);

    QString panelName() const override { return "CSVデータを登録"; }

    void setBackup(bool on);
    bool backup() const;
    CsvPreviewTable* preview() const { return m_preview; }
    QPushButton* runButton() const { return m_run; }

signals:
    void runRequested();         // command 150
    void backupToggled(bool on); // every click stores the setting

private:
    QPushButton* m_run;
    QCheckBox* m_backup;
    CsvPreviewTable* m_preview;
};

} // namespace tavora::csv::ui

#pragma once
// The side-sheet panel that moves the prices of one code between the database and a CSV file
// (DataImportExportP): the code to export, a .csv file to import (dropped on its field or
// chosen with the folder button) and the last result. The page carries the export and the
// import out. UI thread only.
#include "framework/ui/SideSheetPanel.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tavora::csv::ui {

class CodeDataPanel : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    static constexpr int Width = 500;

    explicit CodeDataPanel(QWidget* parent = nullptr);

    QString panelName() const override { return "データの作成"; }

    // Opening: the code field gets `code` (the code shown in the chart, or empty), the file
    // field and the result are cleared.
    void prepare(const QString& code);
    QString code() const;
    QString file() const;
    void setFile(const QString& path);
    void setResult(const QString& text);
    QString result() const;

    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }

signals:
    void exportRequested(); // command 159
    void importRequested(); // command 158

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFile(); // command 272

    QLineEdit* m_code;
    QPushButton* m_export;
    QLineEdit* m_file;
    QToolButton* m_open;
    QPushButton* m_import;
    QPlainTextEdit* m_result;
};

} // namespace tavora::csv::ui

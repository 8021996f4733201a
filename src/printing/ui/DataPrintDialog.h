#pragma once
// The chart print dialog: a window of its own (not modal) with the header, the options and
// the preview of one sheet. It prints the chosen sheets on a printer or writes them to a PDF
// file. It works on a snapshot of the chart, taken when it opens and again whenever the
// chart shows another series, so it never reads a series that is being replaced. Closing
// only hides it (the 閉じる button and Esc do the same); its choices stay while the program
// runs. The sheets the choices take are shown before anything is printed; a range with nothing
// to print shows why instead of a blank sheet and offers no output. UI thread only.
#include "printing/PrintChoices.h"
#include "printing/PrintSnapshot.h"
#include "printing/RangeCheck.h"
#include "printing/SheetDrawing.h"
#include "printing/ui/DataPropertyPanel.h"

#include <QWidget>

#include <functional>

class QPrinter;

namespace tavora::printing::ui {

class DataPrintHeader;
class DataPrintPanel;

class DataPrintDialog : public QWidget {
    Q_OBJECT
public:
    // Takes the snapshot of what the chart shows now.
    using SnapshotSource = std::function<PrintSnapshot()>;
    // Lets the user choose a printer and the pages (1..sheets) on `printer`; false: cancelled.
    using PrinterChooser = std::function<bool(QPrinter& printer, int sheets, QWidget* parent)>;
    // The path to write the PDF to, from a proposed file name; empty: cancelled.
    using PdfPathChooser = std::function<QString(const QString& proposedName, QWidget* parent)>;

    DataPrintDialog(SnapshotSource source, int currentYear, QWidget* parent);
    ~DataPrintDialog() override;

    // Shows the dialog 30 pixels right of and below the window's top-left corner, with its
    // size, and sets it up for the chart shown now.
    void openOver(QWidget* mainWindow);
    // The chart shows another series: while the dialog is open it takes a new snapshot and
    // is set up again; when hidden it drops the old one (opening takes a fresh one).
    void chartChanged();

    // Prints through the printer chooser / writes a PDF through the path chooser.
    void print();
    void writePdf();

    // Seams for tests: replace the printer dialog and the save dialog.
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }
    void setPdfPathChooser(PdfPathChooser chooser) { m_choosePdfPath = std::move(chooser); }

    const PrintSnapshot& snapshot() const { return m_snapshot; }
    const PrintChoices& choices() const { return m_choices; }
    int sheet() const { return m_sheet; }
    int sheetCount() const { return m_sheets; }
    // Why the choices print nothing (shown in the preview); empty when they print.
    const QString& refusal() const { return m_refusal; }
    // The sheet input for the current choices (preview: printing false).
    SheetInput sheetInput(bool printing) const;
    // The document title: the code's name and the period.
    std::string documentTitle() const;

    DataPrintHeader* header() const { return m_header; }
    DataPropertyPanel* properties() const { return m_properties; }
    DataPrintPanel* preview() const { return m_preview; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void initPanel();
    void readChoices();
    void updateStepList();
    void updateLowest();
    void updateSheetCount();
    QString sheetSummary(const SheetInput& input, const RangeCheck& check) const;
    void goToSheet(int sheet);
    void repaintSheet();
    void onOption(DataPropertyPanel::Option option);
    void onOrientation();

    SnapshotSource m_source;
    PrinterChooser m_choosePrinter;
    PdfPathChooser m_choosePdfPath;
    PrintSnapshot m_snapshot;
    PrintChoices m_choices;
    int m_sheet = 1;
    int m_sheets = 1;
    QString m_refusal;
    DataPrintHeader* m_header;
    DataPropertyPanel* m_properties;
    DataPrintPanel* m_preview;
};

} // namespace tavora::printing::ui

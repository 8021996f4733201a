#include "printing/ui/DataPrintDialog.h"

#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "printing/DocumentName.h"
#include "printing/SheetPlan.h"
#include "printing/ui/DataPrintHeader.h"
#include "printing/ui/DataPrintPanel.h"
#include "printing/ui/SheetOutput.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace tavora::printing::ui {

using framework::ui::MessageBox;

namespace {
constexpr int kOptionsWidth = 320;
constexpr int kInset = 30; // from the main window's top-left corner

bool choosePrinter(QPrinter& printer, int sheets, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, sheets);
    dialog.setFromTo(1, sheets);
    return dialog.exec() == QDialog::Accepted;
}

QString choosePdfPath(const QString& proposedName, QWidget* parent) {
    return framework::ui::FileDialog::saveFile(parent, "PDF出力", framework::ui::FileKind::Pdf, proposedName,
                                               "PDF (*.pdf)", "pdf");
}
} // namespace

DataPrintDialog::DataPrintDialog(SnapshotSource source, int currentYear, QWidget* parent)
    : QWidget(parent, Qt::Window), m_source(std::move(source)), m_choosePrinter(choosePrinter),
      m_choosePdfPath(choosePdfPath), m_choices(initialChoices(currentYear)),
      m_header(new DataPrintHeader(this)), m_properties(new DataPropertyPanel(currentYear, this)),
      m_preview(new DataPrintPanel(this)) {
    setObjectName("DataPrintDialog");
    setWindowTitle("印刷");
    m_properties->setFixedWidth(kOptionsWidth);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(m_properties);
    body->addWidget(m_preview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addLayout(body, 1);

    connect(m_header, &DataPrintHeader::printRequested, this, &DataPrintDialog::print);
    connect(m_header, &DataPrintHeader::pdfRequested, this, &DataPrintDialog::writePdf);
    connect(m_header, &DataPrintHeader::orientationChanged, this, &DataPrintDialog::onOrientation);
    connect(m_header, &DataPrintHeader::zoomChanged, this, &DataPrintDialog::repaintSheet);
    connect(m_header, &DataPrintHeader::sheetChosen, this, &DataPrintDialog::goToSheet);
    connect(m_header, &DataPrintHeader::previousSheet, this, [this] {
        if (m_sheet > 1)
            goToSheet(m_sheet - 1);
    });
    connect(m_header, &DataPrintHeader::nextSheet, this, [this] {
        if (m_sheet < m_sheets)
            goToSheet(m_sheet + 1);
    });
    connect(m_properties, &DataPropertyPanel::changed, this, &DataPrintDialog::onOption);
    connect(m_header, &DataPrintHeader::closeRequested, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

DataPrintDialog::~DataPrintDialog() = default;

void DataPrintDialog::openOver(QWidget* mainWindow) {
    if (mainWindow)
        setGeometry(
            QRect(mainWindow->frameGeometry().topLeft() + QPoint(kInset, kInset), mainWindow->size()));
    m_snapshot = m_source ? m_source() : PrintSnapshot{};
    show();
    raise();
    activateWindow();
    initPanel();
}

void DataPrintDialog::chartChanged() {
    if (!isVisible()) {
        m_snapshot = PrintSnapshot{}; // opening takes a fresh one
        return;
    }
    m_snapshot = m_source ? m_source() : PrintSnapshot{};
    initPanel();
}

void DataPrintDialog::closeEvent(QCloseEvent* event) {
    m_snapshot = PrintSnapshot{};
    QWidget::closeEvent(event);
}

SheetInput DataPrintDialog::sheetInput(bool printing) const {
    return makeSheetInput(m_snapshot, m_choices, printing);
}

std::string DataPrintDialog::documentTitle() const {
    return printing::documentTitle(m_snapshot.codeOpen ? m_snapshot.title.name : std::string(),
                                   m_choices.period);
}

// Set up for the chart of the snapshot: the code, the step entries of the period's panel,
// the lowest price and the sheets, from sheet 1.
void DataPrintDialog::initPanel() {
    m_properties->setCodeName(m_snapshot.codeOpen ? QString::fromStdString(m_snapshot.title.name)
                                                  : QString());
    m_properties->fitMonthsToPeriod();
    readChoices();
    updateStepList();
    updateLowest();
    updateSheetCount();
    goToSheet(1);
}

void DataPrintDialog::readChoices() {
    m_choices = m_properties->choices(m_choices);
    m_choices.orientation = m_header->orientation();
}

void DataPrintDialog::updateStepList() {
    const StepChoices steps = stepChoices(m_choices.period, m_snapshot.period(m_choices.period).gridYen);
    m_properties->setStepEntries(steps.entries, steps.step);
    m_choices.step = steps.step;
}

void DataPrintDialog::updateLowest() {
    if (auto lowest = lowestPrice(m_snapshot, m_choices, sheetGeometry(m_choices.orientation)))
        m_choices.lowest = *lowest;
    m_properties->setLowestEntries(lowestCandidates(m_choices.lowest, m_choices.step), m_choices.lowest);
}

void DataPrintDialog::updateSheetCount() {
    const SheetInput input = sheetInput(false);
    RangeCheck check;
    if (m_snapshot.codeOpen) // without a code the sheet is the bare grid
        check = checkRange(*input.period(), m_choices.start, m_choices.end);
    m_refusal = QString::fromStdString(rangeRefusalTextJa(check));
    m_sheets = input.sheets;
    m_sheet = std::clamp(m_sheet, 1, m_sheets);
    m_header->setSheet(m_sheet, m_sheets);
    m_header->setOutputEnabled(m_refusal.isEmpty());
    m_properties->setSheetSummary(sheetSummary(input, check));
}

// "3枚（2026-01-05〜2027-03-31）", and when the range runs on into the coming market days
// after the newest prices, a word that those sheets are there to be continued by hand.
QString DataPrintDialog::sheetSummary(const SheetInput& input, const RangeCheck& check) const {
    if (!check.ok())
        return "0枚（印刷するものがありません）";
    const PeriodSnapshot* period = input.period();
    if (!m_snapshot.codeOpen || !period || input.range.empty)
        return QString("%1枚").arg(m_sheets);
    const std::string& first = period->bars[input.range.first].date;
    const std::string& last = period->bars[input.range.last].date;
    QString text = QString("%1枚（%2〜%3）")
                       .arg(m_sheets)
                       .arg(QString::fromStdString(first), QString::fromStdString(last));
    if (!check.pricedTo.empty() && last > check.pricedTo)
        text += QString("\n%1より後は株価のない今後の取引日です（罫線を手で書き継ぐための用紙）")
                    .arg(QString::fromStdString(check.pricedTo));
    return text;
}

void DataPrintDialog::goToSheet(int sheet) {
    m_sheet = std::clamp(sheet, 1, m_sheets);
    m_header->setSheet(m_sheet, m_sheets);
    repaintSheet();
}

void DataPrintDialog::repaintSheet() {
    if (!m_refusal.isEmpty())
        m_preview->showMessage(m_refusal);
    else
        m_preview->showSheet(renderSheetImage(sheetInput(false), m_sheet), m_header->zoom());
}

void DataPrintDialog::onOrientation() {
    m_choices.orientation = m_header->orientation();
    updateLowest();
    // The sheet holds another number of bars on its side.
    updateSheetCount();
    goToSheet(1);
}

void DataPrintDialog::onOption(DataPropertyPanel::Option option) {
    using Option = DataPropertyPanel::Option;
    if (option == Option::Period)
        m_properties->fitMonthsToPeriod();
    readChoices();
    switch (option) {
    case Option::Period:
        updateStepList();
        updateLowest();
        break;
    case Option::Range:
        updateLowest(); // the bottom price follows the end month
        break;
    case Option::Step:
        updateLowest();
        repaintSheet();
        return;
    case Option::Lowest:
    case Option::Appearance:
        repaintSheet();
        return;
    case Option::BarWidth:
        break;
    }
    updateSheetCount();
    goToSheet(1);
}

void DataPrintDialog::print() {
    if (!m_refusal.isEmpty()) {
        MessageBox::warning(this, m_refusal, "印刷");
        return;
    }
    const SheetInput input = sheetInput(true);
    const std::string title = documentTitle();
    QPrinter printer(QPrinter::HighResolution);
    prepareA4(printer, m_choices.orientation);
    printer.setDocName(QString::fromStdString(title));
    if (!m_choosePrinter || !m_choosePrinter(printer, input.sheets, this))
        return;
    int first = 1;
    int last = input.sheets;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = std::max(first, printer.toPage());
    }
    const OutputResult result = printSheets(printer, input, title, first, last);
    if (!result.ok)
        MessageBox::warning(
            this, QString("印刷できませんでした。\n%1").arg(QString::fromStdString(result.error)), "印刷");
}

void DataPrintDialog::writePdf() {
    if (!m_refusal.isEmpty()) {
        MessageBox::warning(this, m_refusal, "PDF出力");
        return;
    }
    const QString proposed = QString::fromStdString(
        proposedPdfName(m_snapshot.codeOpen ? m_snapshot.title.name : std::string(), m_choices.period));
    QString path = m_choosePdfPath ? m_choosePdfPath(proposed, this) : QString();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".pdf";
    if (!framework::ui::FileDialog::mayWrite(this, path, "PDF出力"))
        return;
    const OutputResult result = writeSheetsPdf(path.toStdString(), sheetInput(true), documentTitle());
    if (!result.ok)
        MessageBox::warning(this,
                            QString("PDFファイルを作成できませんでした。\n%1\n%2")
                                .arg(path, QString::fromStdString(result.error)),
                            "PDF出力");
}

} // namespace tavora::printing::ui

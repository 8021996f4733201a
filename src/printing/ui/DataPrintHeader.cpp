#include "printing/ui/DataPrintHeader.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace tavora::printing::ui {

namespace {
const int kZoomPercents[] = {50, 75, 100, 125, 150, 200};
constexpr int kDefaultZoomIndex = 2; // 100 %

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}
} // namespace

DataPrintHeader::DataPrintHeader(QWidget* parent)
    : QWidget(parent), m_orientation(new QComboBox(this)), m_paper(new QComboBox(this)),
      m_zoom(new QComboBox(this)), m_sheet(new QSpinBox(this)), m_previous(button("◀", "prevsheet", this)),
      m_next(button("▶", "nextsheet", this)), m_count(new QLabel(this)),
      m_print(button("印刷", "sheetprint", this)), m_pdf(button("PDF出力", "sheetpdf", this)),
      m_close(button("閉じる", "sheetclose", this)) {
    setObjectName("DataPrintHeader");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);

    connect(m_print, &QPushButton::clicked, this, &DataPrintHeader::printRequested);
    connect(m_pdf, &QPushButton::clicked, this, &DataPrintHeader::pdfRequested);
    connect(m_close, &QPushButton::clicked, this, &DataPrintHeader::closeRequested);
    layout->addWidget(m_print);
    layout->addWidget(m_pdf);
    layout->addSpacing(16);

    m_orientation->setObjectName("orientation");
    m_orientation->addItems({"縦", "横"});
    m_paper->setObjectName("paper");
    m_paper->addItem("A4");
    m_paper->setEnabled(false); // sheets are always A4
    m_zoom->setObjectName("zoom");
    for (int percent : kZoomPercents)
        m_zoom->addItem(QString("%1%").arg(percent), percent);
    m_zoom->setCurrentIndex(kDefaultZoomIndex);
    m_sheet->setObjectName("sheetbox");
    m_sheet->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_sheet->setRange(1, 1);
    m_sheet->setFixedWidth(50);
    m_sheet->setAlignment(Qt::AlignRight);
    m_count->setObjectName("sheetcount");

    layout->addWidget(new QLabel("印刷の向き", this));
    layout->addWidget(m_orientation);
    layout->addWidget(new QLabel("用紙", this));
    layout->addWidget(m_paper);
    layout->addWidget(new QLabel("拡大", this));
    layout->addWidget(m_zoom);
    layout->addStretch();
    layout->addWidget(m_previous);
    layout->addWidget(m_sheet);
    layout->addWidget(m_count);
    layout->addWidget(m_next);
    layout->addSpacing(16);
    layout->addWidget(m_close);

    connect(m_orientation, &QComboBox::currentIndexChanged, this, &DataPrintHeader::orientationChanged);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &DataPrintHeader::zoomChanged);
    connect(m_sheet, &QSpinBox::editingFinished, this, [this] { emit sheetChosen(m_sheet->value()); });
    connect(m_previous, &QPushButton::clicked, this, &DataPrintHeader::previousSheet);
    connect(m_next, &QPushButton::clicked, this, &DataPrintHeader::nextSheet);
    setSheet(1, 1);
}

Orientation DataPrintHeader::orientation() const {
    return m_orientation->currentIndex() == 1 ? Orientation::Landscape : Orientation::Portrait;
}

double DataPrintHeader::zoom() const {
    return m_zoom->currentData().toInt() / 100.0;
}

int DataPrintHeader::sheet() const {
    return m_sheet->value();
}

void DataPrintHeader::setSheet(int sheet, int count) {
    const QSignalBlocker block(m_sheet);
    m_sheet->setRange(1, std::max(1, count));
    m_sheet->setValue(sheet);
    m_count->setText(QString("/ %1").arg(count));
    m_previous->setEnabled(sheet > 1);
    m_next->setEnabled(sheet < count);
}

void DataPrintHeader::setOutputEnabled(bool enabled) {
    m_print->setEnabled(enabled);
    m_pdf->setEnabled(enabled);
}

} // namespace tavora::printing::ui

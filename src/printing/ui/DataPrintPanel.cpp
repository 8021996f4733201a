#include "printing/ui/DataPrintPanel.h"

#include <QLabel>
#include <QPixmap>

namespace tavora::printing::ui {

DataPrintPanel::DataPrintPanel(QWidget* parent) : QScrollArea(parent), m_paper(new QLabel) {
    setObjectName("DataPrintPanel");
    m_paper->setObjectName("DataPrintPaper");
    m_paper->setFrameShape(QFrame::Box);
    m_paper->setLineWidth(1);
    setWidget(m_paper);
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Dark);
}

namespace {
constexpr int kMessageWidth = 420;
}

void DataPrintPanel::showSheet(const QImage& sheet, double zoom) {
    const QSize size = (QSizeF(sheet.size()) * zoom).toSize();
    const QImage scaled =
        zoom == 1.0 ? sheet : sheet.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_paper->setAutoFillBackground(false);
    m_paper->setMargin(0);
    m_paper->setPixmap(QPixmap::fromImage(scaled));
    m_paper->resize(scaled.size() + QSize(2 * m_paper->lineWidth(), 2 * m_paper->lineWidth()));
}

void DataPrintPanel::showMessage(const QString& text) {
    m_paper->setText(text); // drops the sheet's picture
    m_paper->setWordWrap(true);
    m_paper->setAlignment(Qt::AlignCenter);
    m_paper->setMargin(24);
    m_paper->setAutoFillBackground(true); // readable on the grey ground
    m_paper->resize(kMessageWidth, m_paper->heightForWidth(kMessageWidth));
}

QImage DataPrintPanel::shownImage() const {
    return m_paper->pixmap().toImage();
}

QString DataPrintPanel::shownMessage() const {
    return m_paper->text();
}

} // namespace tavora::printing::ui

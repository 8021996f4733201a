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

void DataPrintPanel::showSheet(const QImage& sheet, double zoom) {
    const QSize size = (QSizeF(sheet.size()) * zoom).toSize();
    const QImage scaled =
        zoom == 1.0 ? sheet : sheet.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_paper->setPixmap(QPixmap::fromImage(scaled));
    m_paper->resize(scaled.size() + QSize(2 * m_paper->lineWidth(), 2 * m_paper->lineWidth()));
}

QImage DataPrintPanel::shownImage() const {
    return m_paper->pixmap().toImage();
}

} // namespace tavora::printing::ui

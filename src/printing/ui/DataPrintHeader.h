#pragma once
// The print dialog's header: the print and PDF buttons, the orientation box ("縦", "横"),
// the paper box (A4, fixed), the zoom box, the sheet box with the previous and next
// buttons and the sheet count, and the close button. It reports what the user changed; the dialog decides. UI
// thread only.
#include "printing/SheetGeometry.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tavora::printing::ui {

class DataPrintHeader : public QWidget {
    Q_OBJECT
public:
    explicit DataPrintHeader(QWidget* parent);

    Orientation orientation() const;
    // The preview scale, 1.0 for 100 %.
    double zoom() const;
    int sheet() const;
    // Shows sheet `sheet` of `count`; the box accepts 1..count.
    void setSheet(int sheet, int count);
    // Print and PDF are offered only when there is something to print.
    void setOutputEnabled(bool enabled);

    QComboBox* orientationBox() const { return m_orientation; }
    QComboBox* paperBox() const { return m_paper; }
    QComboBox* zoomBox() const { return m_zoom; }
    QSpinBox* sheetBox() const { return m_sheet; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }
    QLabel* countLabel() const { return m_count; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* pdfButton() const { return m_pdf; }
    QPushButton* closeButton() const { return m_close; }

signals:
    void printRequested();
    void pdfRequested();
    void orientationChanged();
    void zoomChanged();
    void sheetChosen(int sheet);
    void previousSheet();
    void nextSheet();
    void closeRequested();

private:
    QComboBox* m_orientation;
    QComboBox* m_paper;
    QComboBox* m_zoom;
    QSpinBox* m_sheet;
    QPushButton* m_previous;
    QPushButton* m_next;
    QLabel* m_count;
    QPushButton* m_print;
    QPushButton* m_pdf;
    QPushButton* m_close;
};

} // namespace tavora::printing::ui

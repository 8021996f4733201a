#pragma once
// The print dialog's preview: the sheet's image, scaled by the zoom, in a scrolling area on a
// grey ground, or, when there is nothing to print, the reason in its place. UI thread only.
#include <QScrollArea>

class QLabel;

namespace tavora::printing::ui {

class DataPrintPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit DataPrintPanel(QWidget* parent);

    // Shows the sheet image at `zoom` (1.0 = one image pixel per screen pixel).
    void showSheet(const QImage& sheet, double zoom);
    // Shows why nothing is printed instead of a sheet.
    void showMessage(const QString& text);
    // The image shown now (scaled); null while a message is shown.
    QImage shownImage() const;
    // The message shown now; empty while a sheet is shown.
    QString shownMessage() const;

private:
    QLabel* m_paper;
};

} // namespace tavora::printing::ui

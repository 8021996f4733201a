#pragma once
// The print dialog's preview: the sheet's image, scaled by the zoom, in a scrolling area on a
// grey ground. UI thread only.
#include <QScrollArea>

class QLabel;

namespace tavora::printing::ui {

class DataPrintPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit DataPrintPanel(QWidget* parent);

    // Shows the sheet image at `zoom` (1.0 = one image pixel per screen pixel).
    void showSheet(const QImage& sheet, double zoom);
    // The image shown now (scaled).
    QImage shownImage() const;

private:
    QLabel* m_paper;
};

} // namespace tavora::printing::ui

#pragma once
// The side sheet: a frame that slides in from the right edge of its parent window and
// shows one SideSheetPanel at a time, with a shadow over the rest of the window.
// Opening grows the width by half the remaining difference every 20 ms; closing halves it
// every 10 ms down to the closed width of 1. UI thread only.
#include <QWidget>

class QTimer;
class QVBoxLayout;
class QPushButton;

namespace tavora::framework::ui {

class ShadowPanel;
class SideSheetPanel;

class PropertyDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClosedWidth = 1;

    // `shadow` covers the parent left of the sheet; `bottomReserve` pixels at the bottom of
    // the parent (the status bar) stay uncovered by the shadow.
    PropertyDialog(QWidget* parent, ShadowPanel* shadow, int bottomReserve);

    // Takes ownership of a panel; it stays hidden until opened.
    void addPanel(SideSheetPanel* panel);
    // Slides the sheet open to `width` + 10 showing `panel`.
    void openPanel(SideSheetPanel* panel, int width);
    // Slides the sheet closed (the caller has already asked about unsaved changes).
    void closeSheet();

    SideSheetPanel* currentPanel() const { return m_current; }
    bool isOpen() const { return m_targetWidth > ClosedWidth; }
    int sheetWidth() const { return m_width; }
    int targetWidth() const { return m_targetWidth; }
    bool isSliding() const;

    // Places the sheet and the shadow for the parent's current size.
    void relayout();

signals:
    void applyRequested();  // command 302
    void closeRequested();  // command 508
    void slideFinished();

private:
    void openStep();
    void closeStep();
    void setSheetWidth(int width);

    ShadowPanel* m_shadow;
    int m_bottomReserve;
    QWidget* m_body;
    QVBoxLayout* m_bodyLayout;
    QPushButton* m_apply;
    QPushButton* m_close;
    QTimer* m_openTimer;   // 20 ms steps
    QTimer* m_closeTimer;  // 10 ms steps
    SideSheetPanel* m_current = nullptr;
    int m_width = ClosedWidth;
    int m_targetWidth = ClosedWidth;
};

}  // namespace tavora::framework::ui

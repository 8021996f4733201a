#pragma once
// A colour choice as the property and settings panels show it: a 25 x 25 swatch with a 12 x 25
// drop button beside it. Either opens a small pop-up of swatches whose last entry,
// "その他の色…", opens the system colour dialog. The choice remembers whether the user picked
// a colour since it was last set, so that a panel can tell "left alone" from "chose black".
// UI thread only.
#include "framework/Canvas.h"

#include <QFrame>
#include <QWidget>

#include <optional>
#include <vector>

class QToolButton;
class QPushButton;

namespace tavora::framework::ui {

// The pop-up: a grid of swatches and the button for the colour dialog.
class ColorPopup : public QFrame {
    Q_OBJECT
public:
    static constexpr int PopupWidth = 170;
    static constexpr int PopupHeight = 140;

    explicit ColorPopup(QWidget* parent);
    // The colours of the grid, left to right, top to bottom.
    static const std::vector<ColorRef>& swatchColors();
    QToolButton* swatch(int index) const;
    QPushButton* otherButton() const { return m_other; }

signals:
    void chosen(ColorRef color);
    void otherRequested();

private:
    std::vector<QToolButton*> m_swatches;
    QPushButton* m_other;
};

class ColorChoice : public QWidget {
    Q_OBJECT
public:
    static constexpr int SwatchSize = 25;
    static constexpr int DropWidth = 12;

    explicit ColorChoice(QWidget* parent = nullptr, const QString& dropCaption = QString());

    ColorRef color() const { return m_color; }
    // Shows a colour; this is not a choice of the user (picked() becomes false).
    void setColor(ColorRef color);
    // Whether the user chose a colour since the last setColor().
    bool picked() const { return m_picked; }

    // Opens the pop-up under the drop button (what a click on either part does).
    void openPopup();
    // The pop-up, made when first needed.
    ColorPopup* popup();
    QToolButton* swatchButton() const { return m_swatch; }
    QToolButton* dropButton() const { return m_drop; }

    // The user's choice, as from the pop-up or the dialog.
    void choose(ColorRef color);

    // Seam for tests and unattended runs: the next colour dialog is not shown; it returns
    // `answer` (none: the dialog was cancelled). Cleared by the dialog it answers.
    static void setNextDialogAnswer(std::optional<ColorRef> answer);

signals:
    // The user chose a colour (not emitted by setColor()).
    void colorChosen(ColorRef color);

private:
    void openDialog();
    void updateSwatch();

    QToolButton* m_swatch;
    QToolButton* m_drop;
    ColorPopup* m_popup = nullptr;
    ColorRef m_color = 0;
    bool m_picked = false;
};

} // namespace tavora::framework::ui

#pragma once
// The colour settings panel of the side sheet ("色の変更"): ten colour rows (background, grid
// lines, chart texts, rising and falling candles, volume bars), the styles of the two grid
// directions and "初期値に戻す". It stores nothing itself: the side sheet's apply hands the
// values shown and the values loaded at opening to the colour save. UI thread only.
#include "framework/ui/SideSheetPanel.h"
#include "settings/ChartColours.h"

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tavora::framework::ui {
class ColorChoice;
}

namespace tavora::settings::ui {

class ColorP : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    // The colour save: gets the values loaded at opening and the values shown; true when the
    // sheet may close.
    using SaveColours = std::function<bool(const ChartColours& loaded, const ChartColours& edited)>;

    explicit ColorP(SaveColours save, QWidget* parent = nullptr);

    QString panelName() const override { return QStringLiteral("色の変更"); }
    bool hasUnsavedChanges() const override { return shown() != m_loaded; }
    bool applyChanges() override;

    // On opening: the boxes show the chart's current colours and styles (a style text that
    // is none of the three leaves its box as it was); the loaded list is made from them.
    void initPanel(const Settings& current);
    // "初期値に戻す": every box shows its initial value; nothing is saved.
    void resetToInitial();

    // The values the boxes show now, and the ones loaded at opening.
    ChartColours shown() const;
    const ChartColours& loaded() const { return m_loaded; }

    framework::ui::ColorChoice* colourBox(int row) const { return m_boxes.at(std::size_t(row)); }
    QComboBox* xStyleBox() const { return m_xStyle; }
    QComboBox* yStyleBox() const { return m_yStyle; }
    QPushButton* resetButton() const { return m_reset; }

private:
    SaveColours m_save;
    std::array<framework::ui::ColorChoice*, 10> m_boxes{};
    QComboBox* m_xStyle;
    QComboBox* m_yStyle;
    QPushButton* m_reset;
    ChartColours m_loaded;
};

} // namespace tavora::settings::ui

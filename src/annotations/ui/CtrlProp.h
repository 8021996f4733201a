#pragma once
// The annotation property panel of the side sheet ("コントロールの編集"): font size, font,
// colour, line style and the price range's horizontal position, either as the defaults of the
// pressed tool or, with the selection tool, for the selected elements. With the selection tool
// the boxes show the first selected element's values, each value that differs among the
// selected elements is marked, and a line says how many are selected (or that none is); only
// the boxes the user changes reach the elements. The side sheet's apply confirms: when nothing
// differs from what the panel showed at opening nothing happens; otherwise the host applies
// the values. The position buttons take effect at once, apply or not. UI thread only.
#include "annotations/ToolProperties.h"
#include "framework/ui/SideSheetPanel.h"

#include <array>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tavora::framework::ui {
class ColorChoice;
}

namespace tavora::annotations::ui {

class CtrlProp : public framework::ui::SideSheetPanel {
    Q_OBJECT
public:
    struct Host {
        // The confirmed values of the tool (for Select: of the selected elements).
        std::function<void(PropertyTool, const PropertyValues&, bool colourPicked)> confirm;
        // A position button was chosen: 1 左, 2 中央, 3 固定.
        std::function<void(int)> positionChosen;
    };

    explicit CtrlProp(Host host, QWidget* parent = nullptr);

    QString panelName() const override { return QStringLiteral("コントロールの編集"); }
    bool hasUnsavedChanges() const override { return changed(); }
    bool applyChanges() override;

    // On opening: the boxes for the tool, from its defaults.
    void fill(PropertyTool tool, const chart::ToolDefaults& defaults);
    // On opening with the selection tool: the boxes for the selected elements.
    void fillSelection(const SelectionSummary& selection);
    // "初期値に戻す": the tool's initial values are shown (they take effect on apply).
    void resetToInitial();

    PropertyTool tool() const { return m_tool; }
    // What the boxes show now.
    PropertyValues shown() const;
    bool changed() const;

    QComboBox* sizeBox() const { return m_size; }
    QComboBox* faceBox() const { return m_face; }
    framework::ui::ColorChoice* colourBox() const { return m_colour; }
    QComboBox* styleBox() const { return m_style; }
    QRadioButton* positionButton(int yoko) const { return m_positions.at(std::size_t(yoko - 1)); }
    QPushButton* resetButton() const { return m_reset; }
    // The marks of values that differ among the selected elements, and the selection's line.
    QLabel* mixedMark(int row) const { return m_mixed.at(std::size_t(row)); }
    QLabel* selectionNote() const { return m_note; }
    enum MixedRow { SizeRow, FaceRow, ColourRow, StyleRow };

private:
    void show(const PropertyValues& values);
    void applyForm(PropertyTool tool, PropertyForm form);

    Host m_host;
    QComboBox* m_size;
    QComboBox* m_face;
    framework::ui::ColorChoice* m_colour;
    QComboBox* m_style;
    QButtonGroup* m_positionGroup;
    std::array<QRadioButton*, 3> m_positions{};
    QPushButton* m_reset;
    std::array<QLabel*, 4> m_mixed{};
    QLabel* m_note;
    PropertyTool m_tool = PropertyTool::None;
    PropertyForm m_form;
};

} // namespace tavora::annotations::ui

#pragma once
// The detail panel of the analysis-graph editor: name, "表示", colour, width, line type, the
// kind and the parameter line of the chosen kind (a window, or for "式" the formula with a
// line saying while the user types whether it parses and where it stops), the "テンプレート"
// menu and the buttons "登録" and "削除". "先行スパン1" and "先行スパン2" can be shown but never
// chosen; for a graph with a role in the Ichimoku lines the kind and window cannot be changed
// either. The formula is carried with its row whatever the kind. UI thread only.
#include "analysis/BunsekiEditModel.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QMenu;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tavora::framework::ui {
class ColorChoice;
}

namespace tavora::settings::ui {

class BunsekiP2SyousaiP : public QWidget {
    Q_OBJECT
public:
    explicit BunsekiP2SyousaiP(QWidget* parent = nullptr);

    // Shows a detail: every control first back to its default, then the detail's values.
    // `kindEditable` false disables the "半値" and "遅行スパン" choices and both windows.
    void setDetail(const analysis::BunsekiDetail& detail, bool kindEditable);
    analysis::BunsekiDetail detail() const;
    bool kindEditable() const { return m_kindEditable; }
    // "登録" and "削除" (off while the stored graphs could not be read).
    void setEditingEnabled(bool enabled);

    QLineEdit* nameEdit() const { return m_name; }
    QCheckBox* shownBox() const { return m_shown; }
    framework::ui::ColorChoice* colourBox() const { return m_colour; }
    QComboBox* widthBox() const { return m_width; }
    QComboBox* lineBox() const { return m_line; }
    // Kinds 1 to 6, and KindFormula (0) for "式".
    QRadioButton* kindButton(int kind) const {
        return m_kinds.at(std::size_t(kind == 0 ? kKindCount - 1 : kind - 1));
    }
    QLineEdit* hanneEdit() const { return m_hanneN; }
    QLineEdit* chikouEdit() const { return m_chikouN; }
    QLineEdit* smaEdit() const { return m_smaN; }
    QLineEdit* emaEdit() const { return m_emaN; }
    QPlainTextEdit* formulaEdit() const { return m_formula; }
    // Whether the formula parses, as the user types.
    QLabel* formulaStatusLabel() const { return m_formulaStatus; }
    QPushButton* templateButton() const { return m_template; }
    QMenu* templateMenu() const { return m_templateMenu; }
    QLabel* span1Label(int which) const { return which == 1 ? m_span1a : m_span1b; }
    QLabel* span2Label() const { return m_span2; }
    QPushButton* registerButton() const { return m_register; }
    QPushButton* deleteButton() const { return m_delete; }

signals:
    void registerRequested(); // 130
    void deleteRequested();   // 131
    // A template of the menu, by its index in analysis::bunsekiTemplates().
    void templateRequested(int index);

private:
    // 半値, 遅行スパン, 先行スパン1, 先行スパン2, 単純移動平均, 指数移動平均, 式.
    static constexpr std::size_t kKindCount = 7;

    void layoutParameters();
    void showFormulaStatus();
    int chosenKind() const;

    QLineEdit* m_name;
    QCheckBox* m_shown;
    framework::ui::ColorChoice* m_colour;
    QComboBox* m_width;
    QComboBox* m_line;
    QPlainTextEdit* m_formula;
    QButtonGroup* m_kindGroup;
    std::array<QRadioButton*, kKindCount> m_kinds{};
    // The parameter line of each kind, left to right (in the order of m_kinds).
    std::array<std::vector<QWidget*>, kKindCount> m_paramLines;
    QLineEdit* m_hanneN;
    QLineEdit* m_chikouN;
    QLineEdit* m_smaN;
    QLineEdit* m_emaN;
    QLabel* m_formulaStatus;
    QPushButton* m_template;
    QMenu* m_templateMenu;
    QLabel* m_span1a;
    QLabel* m_span1b;
    QLabel* m_span2;
    QPushButton* m_register;
    QPushButton* m_delete;
    bool m_kindEditable = true;
};

} // namespace tavora::settings::ui

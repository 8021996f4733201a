#include "settings/ui/BunsekiP2SyousaiP.h"

#include "analysis/BunsekiTemplates.h"
#include "framework/ui/CharacterLimit.h"
#include "framework/ui/ColorChoice.h"
#include "settings/Settings.h"
#include "settings/ui/LineStyleBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace tavora::settings::ui {

namespace {
constexpr int H = 25;
constexpr int LabelX = 10;
constexpr int LabelWidth = 70;
constexpr int FieldX = LabelX + LabelWidth + 5;
constexpr int Row1 = 10;
constexpr int Row2 = Row1 + H + 10;
constexpr int Row3 = Row2 + H + 10;
constexpr int Row4 = Row3 + H + 2; // the second row of kinds
constexpr int ParamRow = Row4 + H + 10;
constexpr int FormulaHeight = 50;
constexpr int StatusRow = ParamRow + FormulaHeight + 2;
constexpr int StatusHeight = 2 * H; // a message of two lines
constexpr int ButtonRow = StatusRow + StatusHeight + 10;
constexpr int PanelWidth = 440;
constexpr int FormulaWidth = PanelWidth - 10 - (LabelX + LabelWidth + 5);

// The place of a kind among the radio buttons: 1 to 6 in order, "式" last.
std::size_t kindIndex(int kind) {
    return kind == analysis::KindFormula ? 6 : std::size_t(kind - 1);
}

QLabel* label(QWidget* parent, const char* text, int x, int y, int w) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, w, H);
    return l;
}

QLineEdit* windowEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    // Digits only and at most four: a longer window only overflows the computation.
    e->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{0,%1}").arg(analysis::kWindowMaxDigits)), e));
    e->setMaxLength(int(analysis::kWindowMaxDigits));
    return e;
}

// The sensyu code of a line-style box and back.
std::string sensyuOf(const QComboBox* box) {
    return std::to_string(std::max(0, box->currentIndex()) + 1);
}
} // namespace

BunsekiP2SyousaiP::BunsekiP2SyousaiP(QWidget* parent)
    : QWidget(parent), m_name(new QLineEdit(this)), m_shown(new QCheckBox("表示", this)),
      m_colour(new framework::ui::ColorChoice(this, "色")), m_width(new QComboBox(this)),
      m_line(makeLineStyleBox(this, 80)), m_formula(new QPlainTextEdit(this)),
      m_kindGroup(new QButtonGroup(this)), m_hanneN(windowEdit(this, "hanneN")),
      m_chikouN(windowEdit(this, "chikouN")), m_smaN(windowEdit(this, "smaN")),
      m_emaN(windowEdit(this, "emaN")), m_formulaStatus(new QLabel(this)),
      m_template(new QPushButton("テンプレート", this)), m_templateMenu(new QMenu(m_template)),
      m_span1a(new QLabel(this)), m_span1b(new QLabel(this)), m_span2(new QLabel(this)),
      m_register(new QPushButton("登録", this)), m_delete(new QPushButton("削除", this)) {
    setObjectName("BunsekiP2SyousaiP");
    label(this, "グラフ名:", LabelX, Row1, LabelWidth);
    m_name->setObjectName("graphmei");
    m_name->setGeometry(FieldX, Row1, 200, H);
    framework::ui::limitCharacters(m_name, analysis::kGraphNameMaxCharacters);
    m_shown->setObjectName("hyouji");
    m_shown->setGeometry(m_name->geometry().right() + 1 + 10, Row1, 60, H);

    label(this, "色:", LabelX, Row2, LabelWidth);
    m_colour->setObjectName("graphcolour");
    m_colour->move(FieldX, Row2);
    const int widthLabelX = m_colour->geometry().right() + 1 + 10;
    label(this, "太さ:", widthLabelX, Row2, 35);
    m_width->setObjectName("graphwidth");
    for (const char* w : {"1", "2", "3", "4", "5"})
        m_width->addItem(w);
    m_width->setGeometry(widthLabelX + 35 + 5, Row2, 40, H);
    const int lineLabelX = m_width->geometry().right() + 1 + 10;
    label(this, "線種:", lineLabelX, Row2, 35);
    m_line->setObjectName("graphline");
    m_line->move(lineLabelX + 35 + 5, Row2);
    // The formula is carried with its row; it is shown with the kind "式".
    m_formula->setObjectName("siki");
    m_formula->setTabChangesFocus(true);
    m_formulaStatus->setObjectName("sikiStatus");
    m_formulaStatus->setWordWrap(true);
    m_formulaStatus->setGeometry(FieldX, StatusRow, FormulaWidth, StatusHeight);
    m_formulaStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_formula, &QPlainTextEdit::textChanged, this, &BunsekiP2SyousaiP::showFormulaStatus);

    label(this, "種類:", LabelX, Row3, LabelWidth);
    const char* const kinds[kKindCount] = {"半値",         "遅行スパン",   "先行スパン1", "先行スパン2",
                                           "単純移動平均", "指数移動平均", "式"};
    const int ids[kKindCount] = {analysis::KindHanne,         analysis::KindChikouSpan,
                                 analysis::KindSenkouSpan1,   analysis::KindSenkouSpan2,
                                 analysis::KindMovingAverage, analysis::KindExponentialAverage,
                                 analysis::KindFormula};
    const int widths[kKindCount] = {50, 80, 90, 90, 100, 100, 50};
    int x = FieldX;
    for (std::size_t i = 0; i < kKindCount; ++i) {
        if (i == 4)
            x = FieldX; // the kinds beyond the Ichimoku ones on a second row
        auto* b = new QRadioButton(QString::fromUtf8(kinds[i]), this);
        b->setGeometry(x, i < 4 ? Row3 : Row4, widths[i], H);
        x += widths[i] + 2;
        m_kindGroup->addButton(b, ids[i]);
        m_kinds[i] = b;
    }
    // Leading spans come with the Ichimoku set; they are shown, never chosen.
    m_kinds[2]->setEnabled(false);
    m_kinds[3]->setEnabled(false);
    connect(m_kindGroup, &QButtonGroup::idClicked, this, [this](int) { layoutParameters(); });

    auto line = [this](int kind, std::initializer_list<std::pair<QWidget*, int>> parts) {
        int px = FieldX;
        for (auto [w, width] : parts) {
            w->setGeometry(px, ParamRow, width, H);
            px += width;
            m_paramLines[kindIndex(kind)].push_back(w);
        }
    };
    line(1, {{label(this, "過去", 0, 0, 0), 30}, {m_hanneN, 60}, {label(this, "本の半値", 0, 0, 0), 120}});
    line(2, {{label(this, "当日の終値を", 0, 0, 0), 70},
             {m_chikouN, 60},
             {label(this, "本後ろに記入", 0, 0, 0), 150}});
    line(3, {{m_span1a, 100},
             {label(this, "と", 0, 0, 0), 17},
             {m_span1b, 100},
             {label(this, "の半値を26本前に記入", 0, 0, 0), 200}});
    line(4, {{label(this, "過去", 0, 0, 0), 30},
             {m_span2, 40},
             {label(this, "の半値を26本前に記入", 0, 0, 0), 200}});
    line(analysis::KindMovingAverage,
         {{label(this, "過去", 0, 0, 0), 30}, {m_smaN, 60}, {label(this, "本の移動平均", 0, 0, 0), 120}});
    line(analysis::KindExponentialAverage,
         {{label(this, "過去", 0, 0, 0), 30}, {m_emaN, 60}, {label(this, "本の指数移動平均", 0, 0, 0), 150}});
    QLabel* formulaLabel = label(this, "式:", LabelX, ParamRow, LabelWidth);
    m_formula->setGeometry(FieldX, ParamRow, FormulaWidth, FormulaHeight);
    m_paramLines[kindIndex(analysis::KindFormula)] = {formulaLabel, m_formula, m_formulaStatus};

    // Common sets of lines, added as ordinary rows.
    m_template->setObjectName("template");
    m_template->setGeometry(LabelX, ButtonRow, 110, H);
    const auto templates = analysis::bunsekiTemplates();
    for (std::size_t i = 0; i < templates.size(); ++i) {
        QAction* a = m_templateMenu->addAction(
            QString::fromUtf8(templates[i].caption.data(), qsizetype(templates[i].caption.size())));
        connect(a, &QAction::triggered, this, [this, i] { emit templateRequested(int(i)); });
    }
    m_template->setMenu(m_templateMenu);

    m_register->setObjectName("register");
    m_register->setGeometry(PanelWidth - 195, ButtonRow, 100, H);
    m_delete->setObjectName("delete");
    m_delete->setGeometry(m_register->geometry().right() + 1 + 5, ButtonRow, 70, H);
    connect(m_register, &QPushButton::clicked, this, &BunsekiP2SyousaiP::registerRequested);
    connect(m_delete, &QPushButton::clicked, this, &BunsekiP2SyousaiP::deleteRequested);
    setMinimumSize(PanelWidth, ButtonRow + H + 10);

    setDetail(analysis::BunsekiDetail{}, true);
}

int BunsekiP2SyousaiP::chosenKind() const {
    const int id = m_kindGroup->checkedId();
    return id >= analysis::KindFormula && id <= analysis::KindExponentialAverage ? id : analysis::kNoKind;
}

void BunsekiP2SyousaiP::layoutParameters() {
    const int kind = chosenKind();
    const std::size_t shown = kind == analysis::kNoKind ? kKindCount : kindIndex(kind);
    for (std::size_t k = 0; k < kKindCount; ++k)
        for (QWidget* w : m_paramLines[k])
            w->setVisible(k == shown);
}

void BunsekiP2SyousaiP::showFormulaStatus() {
    const analysis::FormulaStatus status = analysis::formulaStatus(m_formula->toPlainText().toStdString());
    m_formulaStatus->setText(QString::fromStdString(status.text));
    m_formulaStatus->setStyleSheet(status.ok ? "color: #1a7f37;" : "color: #c00000;");
}

void BunsekiP2SyousaiP::setDetail(const analysis::BunsekiDetail& d, bool kindEditable) {
    m_name->setText(QString::fromStdString(d.name));
    m_shown->setChecked(d.shown);
    m_colour->setColor(d.colour);
    m_width->setCurrentIndex(0);
    m_width->setCurrentText(QString::fromStdString(d.width));
    m_line->setCurrentIndex(0);
    showLineStyle(m_line, lineStyleText(std::atoi(d.sensyu.c_str())));
    m_formula->setPlainText(QString::fromStdString(d.formula));
    // A button group keeps one button checked; clearing all needs exclusivity off a moment.
    m_kindGroup->setExclusive(false);
    for (auto* b : m_kinds)
        b->setChecked(false);
    m_kindGroup->setExclusive(true);
    if (d.kind >= analysis::KindFormula && d.kind <= analysis::KindExponentialAverage)
        m_kinds[kindIndex(d.kind)]->setChecked(true);
    m_hanneN->setText(QString::fromStdString(d.hanneN));
    m_chikouN->setText(QString::fromStdString(d.chikouN));
    m_smaN->setText(QString::fromStdString(d.smaN));
    m_emaN->setText(QString::fromStdString(d.emaN));
    m_span1a->setText(QString::fromStdString(d.span1Param1));
    m_span1b->setText(QString::fromStdString(d.span1Param2));
    m_span2->setText(QString::fromStdString(d.span2Param));
    m_kindEditable = kindEditable;
    // A role graph keeps its kind: every kind the user may choose is off for it.
    for (QWidget* w :
         {static_cast<QWidget*>(m_kinds[0]), static_cast<QWidget*>(m_kinds[1]),
          static_cast<QWidget*>(m_kinds[4]), static_cast<QWidget*>(m_kinds[5]),
          static_cast<QWidget*>(m_kinds[6]), static_cast<QWidget*>(m_hanneN),
          static_cast<QWidget*>(m_chikouN), static_cast<QWidget*>(m_smaN), static_cast<QWidget*>(m_emaN)})
        w->setEnabled(kindEditable);
    layoutParameters();
}

analysis::BunsekiDetail BunsekiP2SyousaiP::detail() const {
    analysis::BunsekiDetail d;
    d.name = m_name->text().toStdString();
    d.shown = m_shown->isChecked();
    d.colour = m_colour->color();
    d.width = m_width->currentText().toStdString();
    d.sensyu = sensyuOf(m_line);
    d.formula = m_formula->toPlainText().toStdString();
    d.kind = chosenKind();
    d.hanneN = m_hanneN->text().toStdString();
    d.chikouN = m_chikouN->text().toStdString();
    d.smaN = m_smaN->text().toStdString();
    d.emaN = m_emaN->text().toStdString();
    d.span1Param1 = m_span1a->text().toStdString();
    d.span1Param2 = m_span1b->text().toStdString();
    d.span2Param = m_span2->text().toStdString();
    return d;
}

void BunsekiP2SyousaiP::setEditingEnabled(bool enabled) {
    m_register->setEnabled(enabled);
    m_delete->setEnabled(enabled);
}

} // namespace tavora::settings::ui

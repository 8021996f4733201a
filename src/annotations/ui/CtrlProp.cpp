#include "annotations/ui/CtrlProp.h"

#include "framework/ui/ColorChoice.h"
#include "framework/ui/MessageBox.h"
#include "settings/ui/LineStyleBox.h"
#include "settings/ui/PanelHead.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace tavora::annotations::ui {

namespace {
constexpr int PanelWidth = 500;
constexpr int H = 25;
constexpr int Left = 10;
constexpr int LabelWidth = PanelWidth - 30;
constexpr int LabelRight = Left + LabelWidth; // controls end here

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A label and, 10 pixels under it, the control ending at the label's right end. Returns the
// y of the next label.
int place(QWidget* parent, const char* caption, int y, QWidget* control, int width) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setGeometry(Left, y, LabelWidth, H);
    control->setGeometry(LabelRight - width, y + H + 10, width, H);
    return y + H + 10 + H + 20;
}

// The mark of a value that differs among the selected elements, left of its control's row.
QLabel* makeMixedMark(QWidget* parent, const char* name, int controlY) {
    auto* l = new QLabel("選択中の要素で異なります（変更したものだけ適用）", parent);
    l->setObjectName(name);
    l->setStyleSheet("color: #8A8A8A;");
    l->setGeometry(Left, controlY, LabelWidth - 160, H);
    l->hide();
    return l;
}

// An editable box shows nothing with an empty current text as well as no current item.
void showText(QComboBox* box, const std::string& text) {
    const int at = box->findText(qs(text));
    box->setCurrentIndex(at);
    if (box->isEditable())
        box->setEditText(qs(text));
}
} // namespace

CtrlProp::CtrlProp(Host host, QWidget* parent)
    : SideSheetPanel(parent), m_host(std::move(host)), m_size(new QComboBox(this)),
      m_face(new QComboBox(this)), m_colour(new framework::ui::ColorChoice(this, "フォント色")),
      m_style(settings::ui::makeLineStyleBox(this, 70)), m_positionGroup(new QButtonGroup(this)),
      m_reset(new QPushButton("初期値に戻す", this)), m_note(new QLabel(this)) {
    setObjectName("CtrlProp");
    auto* title = settings::ui::makePanelTitle(this, "コントロールの編集");
    title->setGeometry(0, 0, 450, H);

    m_size->setObjectName("fontsize");
    m_size->setEditable(true);
    for (const char* s :
         {"6", "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"})
        m_size->addItem(s);
    m_size->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), m_size));
    m_size->setEditText("11");
    m_face->setObjectName("fontface");
    m_face->setEditable(true);
    m_face->addItems(QFontDatabase::families());
    m_face->setEditText("メイリオ");
    m_colour->setObjectName("colour");
    m_style->setObjectName("linestyle");

    int y = title->geometry().bottom() + 1 + 10;
    m_mixed[SizeRow] = makeMixedMark(this, "mixedsize", y + H + 10);
    y = place(this, "フォントサイズ", y, m_size, 40);
    m_mixed[FaceRow] = makeMixedMark(this, "mixedface", y + H + 10);
    y = place(this, "フォント", y, m_face, 150);
    // The swatch ends 13 pixels before the label's end; its drop button fills the rest.
    auto* colourLabel = new QLabel("色", this);
    colourLabel->setGeometry(Left, y, LabelWidth, H);
    m_colour->move(LabelRight - 13 - framework::ui::ColorChoice::SwatchSize, y + H + 10);
    m_mixed[ColourRow] = makeMixedMark(this, "mixedcolour", y + H + 10);
    y += H + 10 + H + 20;
    m_mixed[StyleRow] = makeMixedMark(this, "mixedstyle", y + H + 10);
    y = place(this, "線種", y, m_style, 70);
    auto* positionLabel = new QLabel("横位置", this);
    positionLabel->setGeometry(Left, y, LabelWidth, H);
    const char* const positions[3] = {"左", "中央", "固定"};
    int x = LabelRight - 154;
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(positions[i]), this);
        b->setGeometry(x, y + H + 10, 50, H);
        x += 52;
        m_positionGroup->addButton(b, i + 1);
        m_positions[std::size_t(i)] = b;
    }
    m_positions[0]->setChecked(true);
    m_reset->setObjectName("resetcontrol");
    m_reset->setGeometry(Left, y + H + 10 + H + 30, 120, H);
    // What the selection tool's apply will change: how many elements, or that none is selected.
    m_note->setObjectName("selectionnote");
    m_note->setWordWrap(true);
    m_note->setGeometry(Left, m_reset->geometry().bottom() + 1 + 20, LabelWidth, 2 * H);
    m_note->hide();
    setMinimumSize(PanelWidth - 20, m_note->geometry().bottom() + 20);

    // The position is the defaults' at once, confirmed or not.
    connect(m_positionGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (m_host.positionChosen)
            m_host.positionChosen(id);
    });
    connect(m_reset, &QPushButton::clicked, this, &CtrlProp::resetToInitial);
    fill(PropertyTool::None, {});
}

void CtrlProp::show(const PropertyValues& v) {
    showText(m_size, v.fontSize);
    showText(m_face, v.fontFace);
    m_style->setCurrentIndex(-1);
    settings::ui::showLineStyle(m_style, v.lineStyle);
    if (v.yoko >= 1 && v.yoko <= 3)
        m_positions[std::size_t(v.yoko - 1)]->setChecked(true);
}

void CtrlProp::fill(PropertyTool tool, const chart::ToolDefaults& defaults) {
    applyForm(tool, propertyForm(tool, defaults));
    for (QLabel* mark : m_mixed)
        mark->hide();
    m_note->hide();
}

void CtrlProp::fillSelection(const SelectionSummary& selection) {
    applyForm(PropertyTool::Select, selectionForm(selection));
    const bool some = selection.count > 0;
    m_mixed[SizeRow]->setVisible(some && selection.sizeMixed);
    m_mixed[FaceRow]->setVisible(some && selection.faceMixed);
    m_mixed[ColourRow]->setVisible(some && selection.colourMixed);
    m_mixed[StyleRow]->setVisible(some && selection.styleMixed);
    m_note->setText(some ? QString("選択中の要素: %1個（適用すると変更した項目がこれらに反映されます）").arg(selection.count)
                         : QString("選択されている要素がありません。チャートで要素を選択してから開いてください。"));
    m_note->show();
}

void CtrlProp::applyForm(PropertyTool tool, PropertyForm form) {
    m_tool = tool;
    m_form = std::move(form);
    show(m_form.values);
    m_colour->setColor(m_form.values.colour);
    m_size->setEnabled(m_form.sizeEnabled);
    m_face->setEnabled(m_form.faceEnabled);
    m_style->setEnabled(m_form.styleEnabled);
    m_colour->setEnabled(m_form.colourEnabled);
    for (auto* b : m_positions)
        b->setEnabled(m_form.yokoEnabled);
    m_reset->setEnabled(m_form.resetEnabled);
}

void CtrlProp::resetToInitial() {
    const PropertyValues initial = resetValues(m_tool, shown());
    show(initial);
    m_colour->setColor(initial.colour);
}

PropertyValues CtrlProp::shown() const {
    PropertyValues v;
    v.fontSize = m_size->currentText().trimmed().toStdString();
    v.fontFace = m_face->currentText().trimmed().toStdString();
    v.lineStyle = settings::ui::lineStyleShown(m_style);
    v.colour = m_colour->color();
    v.yoko = std::max(1, m_positionGroup->checkedId());
    return v;
}

bool CtrlProp::changed() const {
    return m_tool != PropertyTool::None && (m_colour->picked() || shown() != m_form.values);
}

bool CtrlProp::applyChanges() {
    if (!changed())
        return true;
    const PropertyValues values = shown();
    if (const auto problem = confirmationProblem(m_form, values)) {
        framework::ui::MessageBox::information(this, QString::fromStdString(*problem), panelName());
        return false;
    }
    // The selection takes only what was changed here: a box showing the first of differing
    // values leaves the others as they are.
    if (m_host.confirm)
        m_host.confirm(m_tool, m_tool == PropertyTool::Select ? editedValues(values, m_form.values) : values,
                       m_colour->picked());
    m_form.values = values; // what is in force now
    m_colour->setColor(values.colour);
    return true;
}

} // namespace tavora::annotations::ui

#include "settings/ui/ColorP.h"

#include "framework/ui/ColorChoice.h"
#include "settings/ui/LineStyleBox.h"
#include "settings/ui/PanelHead.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tavora::settings::ui {

namespace {
constexpr int Left = 10;
constexpr int LabelWidth = 170;
constexpr int RowHeight = 25;
constexpr int RowStep = 35; // 25 plus 10
constexpr int StyleWidth = 80;
} // namespace

ColorP::ColorP(SaveColours save, QWidget* parent) : SideSheetPanel(parent), m_save(std::move(save)) {
    setObjectName("ColorP");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(makePanelTitle(this, "色の変更"));
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);

    auto* section = new QLabel("グラフ", content);
    section->setGeometry(Left, 10, LabelWidth, RowHeight);
    const int top = section->geometry().bottom() + 1 + 20;
    const auto& rows = chartColourRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int y = top + int(i) * RowStep;
        auto* label = new QLabel(QString::fromUtf8(rows[i].label), content);
        label->setGeometry(Left + 10, y, LabelWidth, RowHeight);
        auto* box = new framework::ui::ColorChoice(content, "色");
        box->setObjectName(QString::fromUtf8(rows[i].key));
        box->move(label->geometry().right() + 1 + 5, y);
        m_boxes[i] = box;
    }
    // Each grid-style box sits on the row of the other direction's colour: row 2 ("X軸", the
    // date lines' colour) carries the price lines' style and row 3 the date lines' style.
    m_xStyle = makeLineStyleBox(content, StyleWidth);
    m_xStyle->setObjectName("x_sen_cb");
    m_xStyle->move(m_boxes[1]->geometry().right() + 1 + 10, m_boxes[1]->y());
    m_yStyle = makeLineStyleBox(content, StyleWidth);
    m_yStyle->setObjectName("y_sen_cb");
    m_yStyle->move(m_boxes[2]->geometry().right() + 1 + 10, m_boxes[2]->y());

    m_reset = new QPushButton("初期値に戻す", content);
    m_reset->setObjectName("resetcolours");
    m_reset->setGeometry(Left + 10, top + int(rows.size()) * RowStep + 10, 120, RowHeight);
    connect(m_reset, &QPushButton::clicked, this, &ColorP::resetToInitial);
    content->resize(400, m_reset->geometry().bottom() + 20);
}

void ColorP::initPanel(const Settings& current) {
    const ChartColours c = chartColoursOf(current);
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setColor(c.colours[i]);
    showLineStyle(m_xStyle, c.xStyle);
    showLineStyle(m_yStyle, c.yStyle);
    m_loaded = shown();
}

void ColorP::resetToInitial() {
    const ChartColours initial = initialChartColours();
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setColor(initial.colours[i]);
    showLineStyle(m_xStyle, initial.xStyle);
    showLineStyle(m_yStyle, initial.yStyle);
}

ChartColours ColorP::shown() const {
    ChartColours c;
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        c.colours[i] = m_boxes[i]->color();
    c.xStyle = lineStyleShown(m_xStyle);
    c.yStyle = lineStyleShown(m_yStyle);
    return c;
}

bool ColorP::applyChanges() {
    const ChartColours edited = shown();
    const bool mayClose = !m_save || m_save(m_loaded, edited);
    m_loaded = edited; // the chart shows these now, whether or not they could be stored
    return mayClose;
}

} // namespace tavora::settings::ui

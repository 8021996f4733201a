#include "printing/ui/DataPropertyPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tavora::printing::ui {

namespace {
constexpr int kFirstYear = 1949;

QLabel* sectionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

void fillYears(QComboBox* box, int from, bool withEmpty) {
    if (withEmpty)
        box->addItem(QString());
    for (int y = from; y >= kFirstYear; --y)
        box->addItem(QString::number(y));
}

void fillMonths(QComboBox* box, bool withEmpty) {
    if (withEmpty)
        box->addItem(QString());
    for (int m = 12; m >= 1; --m)
        box->addItem(QString("%1").arg(m, 2, 10, QChar('0')));
}

// A box's number, 0 when it is empty.
int numberOf(const QComboBox* box) {
    return box->currentText().toInt();
}
} // namespace

DataPropertyPanel::DataPropertyPanel(int currentYear, QWidget* parent)
    : QWidget(parent), m_code(new QLabel(this)), m_sheetSummary(new QLabel(this)), m_period(combo("periodbox")),
      m_startYear(combo("startyear")), m_startMonth(combo("startmonth")), m_endYear(combo("endyear")),
      m_endMonth(combo("endmonth")), m_step(combo("stepbox")), m_scheme(combo("schemebox")),
      m_lowest(combo("lowestbox")), m_barWidth(combo("barwidthbox")), m_line50(check("特大線", "line50")),
      m_line10(check("大線", "line10")), m_line5(check("中線", "line5")), m_line1(check("小線", "line1")) {
    setObjectName("DataPropertyPanel");
    m_code->setObjectName("codelabel");
    m_sheetSummary->setObjectName("sheetsummary");
    m_sheetSummary->setWordWrap(true);
    m_period->addItems({"日足", "週足", "月足", "年足"});
    fillYears(m_startYear, currentYear, false);
    fillMonths(m_startMonth, false);
    m_startMonth->setCurrentText("01");
    fillYears(m_endYear, currentYear + 1, true);
    fillMonths(m_endMonth, true);
    m_scheme->addItems({"ブルー", "グレー"});
    m_barWidth->addItems({"小", "大"});
    m_barWidth->setCurrentText("大");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    int row = 0;
    auto addRow = [&](const char* caption, QWidget* field) {
        grid->addWidget(new QLabel(caption, this), row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(field, row++, 1);
    };
    auto pair = [this](QComboBox* year, const char* yearText, QComboBox* month, const char* monthText) {
        auto* w = new QWidget(this);
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(3);
        h->addWidget(year);
        h->addWidget(new QLabel(yearText, w));
        h->addWidget(month);
        h->addWidget(new QLabel(monthText, w));
        h->addStretch();
        return w;
    };
    grid->addWidget(sectionLabel("印刷対象", this), row++, 0, 1, 2);
    addRow("銘柄：", m_code);
    addRow("グラフ：", m_period);
    addRow("期間：", pair(m_startYear, "年", m_startMonth, "月から"));
    addRow("", pair(m_endYear, "年", m_endMonth, "月まで"));
    addRow("印刷枚数：", m_sheetSummary);
    grid->addWidget(sectionLabel("グラフ要素", this), row++, 0, 1, 2);
    addRow("基準値：", m_step);
    addRow("線配色：", m_scheme);
    addRow("最低値：", m_lowest);
    addRow("罫線幅：", m_barWidth);
    auto* lines = new QWidget(this);
    auto* linesLayout = new QHBoxLayout(lines);
    linesLayout->setContentsMargins(0, 0, 0, 0);
    for (QCheckBox* c : {m_line50, m_line10, m_line5, m_line1})
        linesLayout->addWidget(c);
    grid->addWidget(lines, row++, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addLayout(grid);
    outer->addStretch();

    auto report = [this](QComboBox* box, Option option) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, option] { emit changed(option); });
    };
    report(m_period, Option::Period);
    for (QComboBox* box : {m_startYear, m_startMonth, m_endYear, m_endMonth})
        report(box, Option::Range);
    report(m_step, Option::Step);
    report(m_scheme, Option::Appearance);
    report(m_lowest, Option::Lowest);
    report(m_barWidth, Option::BarWidth);
    for (QCheckBox* c : {m_line50, m_line10, m_line5, m_line1})
        connect(c, &QCheckBox::toggled, this, [this] { emit changed(Option::Appearance); });
}

QComboBox* DataPropertyPanel::combo(const char* name) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setMinimumWidth(70);
    return box;
}

QCheckBox* DataPropertyPanel::check(const QString& caption, const char* name) {
    auto* c = new QCheckBox(caption, this);
    c->setObjectName(name);
    c->setChecked(true);
    return c;
}

QCheckBox* DataPropertyPanel::lineBox(int cells) const {
    switch (cells) {
    case 50:
        return m_line50;
    case 10:
        return m_line10;
    case 5:
        return m_line5;
    default:
        return m_line1;
    }
}

void DataPropertyPanel::setCodeName(const QString& name) {
    m_code->setText(name);
}

void DataPropertyPanel::setSheetSummary(const QString& text) {
    m_sheetSummary->setText(text);
}

void DataPropertyPanel::setStepEntries(const std::vector<std::int64_t>& entries, std::int64_t step) {
    const QSignalBlocker block(m_step);
    m_step->clear();
    for (std::int64_t e : entries)
        m_step->addItem(QString::number(e));
    m_step->setCurrentText(QString::number(step));
}

void DataPropertyPanel::setLowestEntries(const std::vector<std::int64_t>& entries, std::int64_t lowest) {
    const QSignalBlocker block(m_lowest);
    m_lowest->clear();
    for (std::int64_t e : entries)
        m_lowest->addItem(QString::number(e));
    const int at = m_lowest->findText(QString::number(lowest));
    if (at < 0)
        m_lowest->insertItem(0, QString::number(lowest));
    m_lowest->setCurrentText(QString::number(lowest));
}

void DataPropertyPanel::fitMonthsToPeriod() {
    const bool yearChart = m_period->currentIndex() == 3;
    const QSignalBlocker blockStart(m_startMonth);
    const QSignalBlocker blockEnd(m_endMonth);
    if (yearChart) {
        m_startMonth->setCurrentText("01");
        if (!m_endMonth->currentText().isEmpty())
            m_endMonth->setCurrentText("01");
    }
    m_startMonth->setEnabled(!yearChart);
    m_endMonth->setEnabled(!yearChart);
}

PrintChoices DataPropertyPanel::choices(const PrintChoices& base) const {
    PrintChoices c = base;
    c.period = market::kAllPeriods[std::size_t(std::clamp(m_period->currentIndex(), 0, 3))];
    c.start = {numberOf(m_startYear), numberOf(m_startMonth)};
    c.end = {numberOf(m_endYear), numberOf(m_endMonth)};
    c.step = m_step->currentText().toLongLong();
    c.lowest = m_lowest->currentText().toLongLong();
    c.barCells = m_barWidth->currentText() == "小" ? 1 : 2;
    c.scheme = m_scheme->currentIndex() == 1 ? LineScheme::Grey : LineScheme::Blue;
    c.lines = {m_line50->isChecked(), m_line10->isChecked(), m_line5->isChecked(), m_line1->isChecked()};
    return c;
}

} // namespace tavora::printing::ui

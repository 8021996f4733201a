#include "csv/ui/CsvMappingPanel.h"

#include "market/StockCode.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tavora::csv::ui {

namespace {

constexpr framework::CsvEncoding kEncodings[] = {framework::CsvEncoding::Utf16, framework::CsvEncoding::Utf8,
                                                 framework::CsvEncoding::ShiftJis};
constexpr CsvQuote kQuotes[] = {CsvQuote::None, CsvQuote::Double, CsvQuote::Single};

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

QRadioButton* radio(const char* caption, const char* name, QWidget* parent) {
    auto* r = new QRadioButton(QString::fromUtf8(caption), parent);
    r->setObjectName(name);
    return r;
}

} // namespace

CsvMappingPanel::CsvMappingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("CsvyomikomiPanel");
    auto* layout = new QHBoxLayout(this);

    // Separator and the ten mapping rows.
    auto* left = new QVBoxLayout;
    auto* separator = new QGroupBox("区切り文字", this);
    auto* sepLayout = new QHBoxLayout(separator);
    m_comma = radio("カンマ", "separatorComma", separator);
    m_tab = radio("タブ", "separatorTab", separator);
    sepLayout->addWidget(m_comma);
    sepLayout->addWidget(m_tab);
    sepLayout->addStretch();
    auto* sepGroup = new QButtonGroup(this);
    sepGroup->addButton(m_comma);
    sepGroup->addButton(m_tab);
    left->addWidget(separator);

    auto* columns = new QGroupBox("対応列", this);
    auto* grid = new QGridLayout(columns);
    grid->setVerticalSpacing(2);
    m_byColumns = radio("列で固定", "byColumns", columns);
    m_byTitles = radio("タイトルで選択", "byTitles", columns);
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(m_byColumns);
    modeGroup->addButton(m_byTitles);
    grid->addWidget(m_byColumns, 0, 0, 1, 2);
    grid->addWidget(m_byTitles, 0, 2, 1, 2);
    for (int r = 0; r < kMappingRows; ++r) {
        auto* caption = new QLabel(QString::fromUtf8(mappingRowCaption(r)), columns);
        // The column box and the title field share one place, so that switching the mode
        // never moves anything on the page.
        auto* place = new QStackedWidget(columns);
        place->setObjectName(QString("place_%1").arg(r));
        auto* box = new QComboBox(place);
        box->setObjectName(QString("column_%1").arg(r));
        box->addItem(QString()); // no column
        for (int c = 1; c <= kMaxColumnChoice; ++c)
            box->addItem(text(columnBoxText(c)));
        box->setMinimumWidth(90);
        auto* title = new QLineEdit(place);
        title->setObjectName(QString("title_%1").arg(r));
        title->setMinimumWidth(160);
        place->addWidget(box);
        place->addWidget(title);
        grid->addWidget(caption, r + 1, 0);
        grid->addWidget(place, r + 1, 1, 1, 3);
        m_places[static_cast<std::size_t>(r)] = place;
        m_columns[static_cast<std::size_t>(r)] = box;
        m_titles[static_cast<std::size_t>(r)] = title;
        connect(box, &QComboBox::currentIndexChanged, this, &CsvMappingPanel::changed);
        connect(title, &QLineEdit::textEdited, this, &CsvMappingPanel::changed);
    }
    // Files of one code from other sources have no code column: the user gives the code.
    m_codeGiven = new QCheckBox(QString::fromUtf8(kGivenCodeChoice), columns);
    m_codeGiven->setObjectName("codeGiven");
    m_givenCode = new QLineEdit(columns);
    m_givenCode->setObjectName("givenCode");
    m_givenCode->setMaxLength(static_cast<int>(market::kMaxStockCodeChars));
    m_givenCode->setMaximumWidth(90);
    grid->addWidget(m_codeGiven, 1, 4);
    grid->addWidget(m_givenCode, 1, 5);
    connect(m_codeGiven, &QCheckBox::toggled, this, &CsvMappingPanel::changed);
    connect(m_givenCode, &QLineEdit::textEdited, this, &CsvMappingPanel::changed);
    left->addWidget(columns);
    left->addStretch();
    layout->addLayout(left);

    // Where the data starts, how the file is written, and the zero text.
    auto* other = new QGroupBox("その他", this);
    auto* form = new QGridLayout(other);
    auto addRow = [&](int row, const char* caption, QWidget* control) {
        form->addWidget(new QLabel(QString::fromUtf8(caption), other), row, 0);
        form->addWidget(control, row, 1);
    };
    m_dataStart = new QComboBox(other);
    m_dataStart->setObjectName("dataStart");
    for (int line = 1; line <= 3; ++line)
        m_dataStart->addItem(text(dataStartText(line)));
    addRow(0, "データ始まり行", m_dataStart);
    m_encoding = new QComboBox(other);
    m_encoding->setObjectName("encoding");
    for (auto e : kEncodings)
        m_encoding->addItem(QString::fromUtf8(encodingText(e)));
    addRow(1, "文字コード", m_encoding);
    m_quote = new QComboBox(other);
    m_quote->setObjectName("quote");
    for (auto q : kQuotes)
        m_quote->addItem(QString::fromUtf8(quoteText(q)));
    addRow(2, "文字列の囲み", m_quote);
    m_zero = new QLineEdit(other);
    m_zero->setObjectName("zeroText");
    addRow(3, "次の文字列を0に置き換える", m_zero);
    form->setRowStretch(4, 1);
    layout->addWidget(other, 0, Qt::AlignTop);

    for (auto* r : {m_comma, m_tab, m_byColumns, m_byTitles})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                changed();
        });
    for (auto* box : {m_dataStart, m_encoding, m_quote})
        connect(box, &QComboBox::currentIndexChanged, this, &CsvMappingPanel::changed);
    connect(m_zero, &QLineEdit::textEdited, this, &CsvMappingPanel::changed);

    setMapping(CsvMapping());
}

void CsvMappingPanel::setMapping(const CsvMapping& m) {
    m_loading = true;
    (m.separator == CsvSeparator::Tab ? m_tab : m_comma)->setChecked(true);
    (m.matchBy == CsvMatchBy::Titles ? m_byTitles : m_byColumns)->setChecked(true);
    for (std::size_t r = 0; r < m.rows.size(); ++r) {
        const int column = m.rows[r].column;
        m_columns[r]->setCurrentIndex(column >= 1 && column <= kMaxColumnChoice ? column : 0);
        m_titles[r]->setText(text(m.rows[r].title));
    }
    m_dataStart->setCurrentIndex(std::clamp(m.dataStart, 1, 3) - 1);
    for (int i = 0; i < 3; ++i) {
        if (kEncodings[i] == m.encoding)
            m_encoding->setCurrentIndex(i);
        if (kQuotes[i] == m.quote)
            m_quote->setCurrentIndex(i);
    }
    m_zero->setText(text(m.zeroText));
    m_codeGiven->setChecked(m.codeGiven);
    m_givenCode->setText(text(m.givenCode));
    m_loading = false;
    showMode();
}

CsvMapping CsvMappingPanel::mapping() const {
    CsvMapping m;
    m.separator = m_tab->isChecked() ? CsvSeparator::Tab : CsvSeparator::Comma;
    m.matchBy = m_byTitles->isChecked() ? CsvMatchBy::Titles : CsvMatchBy::Columns;
    for (std::size_t r = 0; r < m.rows.size(); ++r) {
        m.rows[r].column = m_columns[r]->currentIndex(); // the item index is the column; 0 for none
        m.rows[r].title = m_titles[r]->text().toStdString();
    }
    m.dataStart = m_dataStart->currentIndex() + 1;
    m.encoding = kEncodings[std::max(0, m_encoding->currentIndex())];
    m.quote = kQuotes[std::max(0, m_quote->currentIndex())];
    m.zeroText = m_zero->text().toStdString();
    m.codeGiven = m_codeGiven->isChecked();
    m.givenCode = m_givenCode->text().toStdString();
    return m;
}

void CsvMappingPanel::showMode() {
    const bool titles = m_byTitles->isChecked();
    for (std::size_t r = 0; r < m_places.size(); ++r)
        m_places[r]->setCurrentIndex(titles ? 1 : 0);
    const bool given = m_codeGiven->isChecked();
    m_columns[RowCode]->setEnabled(!given);
    m_titles[RowCode]->setEnabled(!given);
    m_givenCode->setEnabled(given);
}

void CsvMappingPanel::changed() {
    showMode();
    if (!m_loading)
        emit mappingChanged();
}

} // namespace tavora::csv::ui

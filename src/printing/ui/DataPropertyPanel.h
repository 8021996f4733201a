#pragma once
// The print dialog's options: under "印刷対象" the code's name, the period ("グラフ：") and
// the range of months ("期間：") with the sheets it takes ("印刷枚数："); under "グラフ要素" the price per 50 cells ("基準値："),
// the line colours ("線配色："), the price of the bottom line ("最低値："), the bar width
// ("罫線幅：") and the four grid-line check boxes. It reports which option changed and
// reads the choices back; the dialog decides what follows. UI thread only.
#include "printing/PrintChoices.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;

namespace tavora::printing::ui {

class DataPropertyPanel : public QWidget {
    Q_OBJECT
public:
    enum class Option { Period, Range, Step, Lowest, BarWidth, Appearance };

    // `currentYear` fills the year boxes: start years from it down to 1949, end years from
    // the year after it down to 1949 (and empty).
    DataPropertyPanel(int currentYear, QWidget* parent);

    void setCodeName(const QString& name);
    // The sheets the choices take, shown under the range (updated by the dialog).
    void setSheetSummary(const QString& text);
    // The "基準値：" entries, with `step` shown.
    void setStepEntries(const std::vector<std::int64_t>& entries, std::int64_t step);
    // The "最低値：" candidates, with `lowest` shown.
    void setLowestEntries(const std::vector<std::int64_t>& entries, std::int64_t lowest);
    // Year charts print whole years: both month boxes show "01" (the end month only when it
    // is not empty) and are disabled; other periods enable them again.
    void fitMonthsToPeriod();

    // Period, range, step, lowest, bar width, scheme and lines as the boxes show them; the
    // orientation is kept from `base`.
    PrintChoices choices(const PrintChoices& base) const;

    QLabel* codeLabel() const { return m_code; }
    QLabel* sheetSummaryLabel() const { return m_sheetSummary; }
    QComboBox* periodBox() const { return m_period; }
    QComboBox* startYearBox() const { return m_startYear; }
    QComboBox* startMonthBox() const { return m_startMonth; }
    QComboBox* endYearBox() const { return m_endYear; }
    QComboBox* endMonthBox() const { return m_endMonth; }
    QComboBox* stepBox() const { return m_step; }
    QComboBox* schemeBox() const { return m_scheme; }
    QComboBox* lowestBox() const { return m_lowest; }
    QComboBox* barWidthBox() const { return m_barWidth; }
    QCheckBox* lineBox(int cells) const; // 50, 10, 5 or 1

signals:
    void changed(Option option);

private:
    QComboBox* combo(const char* name);
    QCheckBox* check(const QString& caption, const char* name);

    QLabel* m_code;
    QLabel* m_sheetSummary;
    QComboBox* m_period;
    QComboBox* m_startYear;
    QComboBox* m_startMonth;
    QComboBox* m_endYear;
    QComboBox* m_endMonth;
    QComboBox* m_step;
    QComboBox* m_scheme;
    QComboBox* m_lowest;
    QComboBox* m_barWidth;
    QCheckBox* m_line50;
    QCheckBox* m_line10;
    QCheckBox* m_line5;
    QCheckBox* m_line1;
};

} // namespace tavora::printing::ui

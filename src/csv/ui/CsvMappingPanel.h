#pragma once
// The lower panel of the データ取込 page: the column mapping of the price CSV import, one
// control per DT_ key (separator, columns or titles with the ten column boxes and title
// fields, data start line, encoding, quote, zero text). UI thread only.
#include "csv/CsvMapping.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace tavora::csv::ui {

class CsvMappingPanel : public QWidget {
    Q_OBJECT
public:
    explicit CsvMappingPanel(QWidget* parent = nullptr);

    // Shows a mapping; does not emit mappingChanged.
    void setMapping(const CsvMapping& mapping);
    CsvMapping mapping() const;

signals:
    // The user changed a control.
    void mappingChanged();

private:
    void showMode();
    void changed();

    QRadioButton* m_comma;
    QRadioButton* m_tab;
    QRadioButton* m_byColumns;
    QRadioButton* m_byTitles;
    std::array<QComboBox*, kMappingRows> m_columns{};
    std::array<QLineEdit*, kMappingRows> m_titles{};
    std::array<QStackedWidget*, kMappingRows> m_places{}; // each row's box and title, one shown
    QComboBox* m_dataStart;
    QComboBox* m_encoding;
    QComboBox* m_quote;
    QLineEdit* m_zero;
    QCheckBox* m_codeGiven;
    QLineEdit* m_givenCode;
    bool m_loading = false;
};

} // namespace tavora::csv::ui

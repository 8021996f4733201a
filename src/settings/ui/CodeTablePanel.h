#pragma once
// The read-only preview of a code-list file on the code settings page: a numbered row per
// record with its code, name, sector and market (records with fewer fields show empty cells).
// UI thread only.
#include <QTableWidget>

#include <string>

namespace tavora::settings::ui {

class CodeTablePanel : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int RowHeight = 25;
    static constexpr int CornerWidth = 50;

    explicit CodeTablePanel(QWidget* parent = nullptr);

    // Shows the records of the file (nothing when it does not exist or cannot be read).
    void initPanel(const std::string& path);
    const std::string& shownPath() const { return m_path; }

private:
    std::string m_path;
};

} // namespace tavora::settings::ui

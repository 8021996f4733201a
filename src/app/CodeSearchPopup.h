#pragma once
// The drop-down of the code search box: one "code name" line per match, 20 pixels each, at
// most 360 pixels high with a scroll bar beyond. Choosing a line reports its text.
// UI thread only.
#include <QStringList>
#include <QWidget>

class QListWidget;

namespace tavora::app {

class CodeSearchPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int RowHeight = 20;
    static constexpr int MaxHeight = 360;

    explicit CodeSearchPopup(QWidget* parent);

    // Shows the lines below `anchor`, `width` wide.
    void showLines(const QStringList& lines, QWidget* anchor, int width);
    QStringList lines() const;
    // Acts as a click on line `row`.
    void choose(int row);

signals:
    void chosen(const QString& line);

private:
    QListWidget* m_list;
};

}  // namespace tavora::app

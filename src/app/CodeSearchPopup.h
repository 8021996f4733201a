#pragma once
// The drop-down of the code search box: one "code name" line per match, 20 pixels each, as
// high as its lines up to 360 pixels (whole lines, a vertical scroll bar beyond; never a
// horizontal one). The search box keeps the keyboard: it moves the highlight (Down, Up) and
// chooses the highlighted line (Enter). Each line carries the catalogue position of its
// entry, so choosing opens exactly that entry. UI thread only.
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <vector>

class QListWidget;

namespace tavora::app {

class CodeSearchPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int RowHeight = 20;
    static constexpr int MaxHeight = 360;

    explicit CodeSearchPopup(QWidget* parent);

    // Shows the lines below `anchor`, `width` wide; `positions[i]` is the catalogue position
    // of line i. Nothing is highlighted yet.
    void showLines(const QStringList& lines, const std::vector<std::size_t>& positions, QWidget* anchor,
                   int width);
    QStringList lines() const;
    // The lines in view without scrolling.
    int visibleRows() const;
    // The highlighted line, -1 for none.
    int highlighted() const;
    // Moves the highlight by `step` lines (Down +1, Up -1), held at the first and last line;
    // from no highlight, Down takes the first line and Up the last.
    void moveHighlight(int step);
    // Acts as a click on line `row`.
    void choose(int row);
    QListWidget* list() const { return m_list; }

signals:
    void chosen(const QString& line, std::size_t position);

private:
    QListWidget* m_list;
};

} // namespace tavora::app

#pragma once
// The code search of the Home head: the search box, its drop-down and the catalogue search.
// While the user types, the drop-down lists the matching codes; Down and Up move its
// highlight, Enter opens the highlighted code (or, with none, searches the box's text: no
// match says so, one match opens, several open the drop-down); Escape or leaving the box
// closes it. After a code opens the box shows that code's name. UI thread only.
#include "market/CodeList.h"

#include <QObject>

#include <cstddef>

class QLineEdit;

namespace tavora::app {

class CodeSearchPopup;

class CodeSearch : public QObject {
    Q_OBJECT
public:
    // `catalogue` is the shown catalogue (it outlives this object and may be refilled).
    CodeSearch(const market::CodeList& catalogue, QLineEdit* box, CodeSearchPopup* popup, QObject* parent);

    // 532: searches the catalogue with the box's text.
    void search();
    // The box shows the current code's name (empty without one); the drop-down closes.
    void showCurrent(const market::CodeElm* entry);

signals:
    // A search or a chosen line picked this catalogue entry.
    void openRequested(std::size_t position);
    // Nothing in the catalogue matches the text.
    void notFound(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The box's text changed by typing: the drop-down lists the matches.
    void listMatches(const QString& text);
    void showMatches(const std::vector<std::size_t>& positions);
    void chosen(const QString& line, std::size_t position);

    const market::CodeList& m_catalogue;
    QLineEdit* m_box;
    CodeSearchPopup* m_popup;
};

} // namespace tavora::app

#pragma once
// The annotations of one code in one period, in the order they were made (loaded rows in
// their stored order, new elements at the tail). The list owns its elements; a deleted
// element stays with view_bl false so that the history can bring it back and ids keep
// counting past it. UI thread (or the thread that loads it before handing it over).
//
// Pointers to elements stay valid until the list is cleared. Whoever keeps a pointer across
// event-loop turns also keeps generation() and drops the pointer when it has changed.
#include "annotations/GraphDrawElement.h"
#include "market/ChartPeriod.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavora::annotations {

class LineElm;
class TextElm;
class MemoElm;
class TakayasuElm;
class RangeTimeElm;
class RangeNedanElm;

class GraphDrawList {
public:
    explicit GraphDrawList(market::ChartPeriod period = market::ChartPeriod::Day) : m_period(period) {}
    GraphDrawList(const GraphDrawList&) = delete;
    GraphDrawList& operator=(const GraphDrawList&) = delete;

    market::ChartPeriod period() const { return m_period; }
    // The period letter recorded with the elements ("d", "w", "m", "y").
    std::string_view kikan() const { return market::periodLetter(m_period); }
    // The code the list was loaded for; elements are recorded under it.
    const std::string& code() const { return m_code; }

    // Empties the list for `code` (a code change, undo, redo, new, open). Every pointer into
    // the list is invalid afterwards; generation() changes.
    void reset(std::string code);
    std::uint64_t generation() const { return m_generation; }

    // The factory: one element of each kind with its defaults and the next id, appended.
    LineElm& createLine();
    TextElm& createText();
    MemoElm& createMemo();
    TakayasuElm& createTakayasu();
    RangeTimeElm& createRangeTime();
    RangeNedanElm& createRangeNedan();
    // The factory for a stored class name; null for a name this program does not know. A
    // stored row's id is given as it is; without one the next id is taken.
    GraphDrawElement* create(std::string_view className, std::optional<int> id = std::nullopt);
    // A stored row of a kind this program does not know: listed under its id and class name,
    // never drawn, hit or selected, the row kept as read.
    GraphDrawElement& keepUnknown(int id, std::string className, framework::SQLListRow row);

    // Takes an element out of the list (one that was never recorded: a half-made element whose
    // tool was left). Returns whether it was there.
    bool remove(const GraphDrawElement* element);

    // The id of the last element plus one, or 1 for an empty list. Ids from a document may be
    // anything: past the largest int the smallest free positive id is taken.
    int nextId() const;

    // Sets the selected flag of every element of a known kind.
    void setSelected(bool value);
    // Every selected element gets view_bl false and is returned (still selected).
    std::vector<GraphDrawElement*> deleteSelected();
    std::vector<GraphDrawElement*> selectedElements() const;

    std::size_t size() const { return m_elements.size(); }
    bool empty() const { return m_elements.empty(); }
    GraphDrawElement& operator[](std::size_t i) { return *m_elements[i]; }
    const GraphDrawElement& operator[](std::size_t i) const { return *m_elements[i]; }
    // Whether `element` belongs to this list now.
    bool contains(const GraphDrawElement* element) const;
    // The element with an id, or null.
    GraphDrawElement* findById(int id) const;

    // The elements the chart's annotation layer may draw (the six kinds, deleted ones too:
    // the layer skips those), in list order.
    std::vector<chart::ChartAnnotation*> chartAnnotations() const;

private:
    template <class Kind> Kind& append(std::optional<int> id);

    market::ChartPeriod m_period;
    std::string m_code;
    std::vector<std::unique_ptr<GraphDrawElement>> m_elements;
    std::uint64_t m_generation = 0;
};

} // namespace tavora::annotations

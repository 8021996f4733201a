#pragma once
// The values of the shown analysis graphs of one chart period, one element per bar, which
// the chart paints. Built by the chart-opening worker (or the thread that merges today's
// bar) and handed over whole with the period's bar list; no locking of its own.
//
// Element i belongs to bar i of the period's KeisenList (0 the newest bar, count-1 the
// oldest), so the painter reads value(i) for the bar it draws at that position. Besides
// the bar elements the list has a head position (index -1, no bar), which the computations'
// cursors may stand on; nothing is ever stored there.
#include "analysis/BunsekiElement.h"
#include "analysis/ValueText.h"
#include "framework/Canvas.h"
#include "market/Keisen.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::analysis {

// The value of one graph at one bar: empty, or a number written "%.2f".
struct BunsekiGraphElement {
    char value[kValueTextSize];
    BunsekiGraphElement() { value[0] = '\0'; }

    bool empty() const { return value[0] == '\0'; }
    std::string_view text() const { return value; }
    void initialize() { value[0] = '\0'; }
};

// One shown graph instantiated for one chart period.
class BunsekiGraphList {
public:
    // Copies of the definition.
    std::string name;
    std::string formula;
    std::uint32_t colour = 0;
    int width = 0;
    BunsekiLineStyle lineStyle = BunsekiLineStyle::Solid;
    int kind = KindFormula;
    std::string param1;
    std::string param2;
    std::shared_ptr<const FormulaNode> program; // kinds 0, 5 and 6: what computes the values
    framework::Pen pen;                         // made by CreateGraphPen

    // Bar elements, 0 the newest.
    std::size_t count() const { return m_elements.size(); }
    market::KeisenElm* bar(std::size_t i) const { return m_bars + i; }
    const BunsekiGraphElement& element(std::size_t i) const { return m_elements[i]; }
    BunsekiGraphElement& element(std::size_t i) { return m_elements[i]; }
    std::string_view value(std::size_t i) const { return m_elements[i].text(); }
    bool hasValue(std::size_t i) const { return !m_elements[i].empty(); }
    // The value read as a number (0 when empty), as the painter and leading span 1 read it.
    double number(std::size_t i) const { return ParseValueText(m_elements[i].text()); }
    // The position of the bar's element, or -1 when the bar is not one of this list's.
    std::ptrdiff_t indexOfBar(const market::KeisenElm& bar) const;

    // Refers the list to the bars of a bar list (one empty element per bar).
    void attachBars(market::KeisenList& bars);
    // Empties every value.
    void clearValues();
    // Empties the texts, resets the numbers, drops the pen and the elements.
    void initialize();

private:
    market::KeisenElm* m_bars = nullptr;
    std::vector<BunsekiGraphElement> m_elements;
};

// (Re)makes the list's pen from its colour, width and line style.
void CreateGraphPen(BunsekiGraphList& list);

// The graph lists of one chart period, in definition order.
class BunsekiGraphListList {
public:
    std::size_t size() const { return m_lists.size(); }
    bool empty() const { return m_lists.empty(); }
    BunsekiGraphList& operator[](std::size_t i) { return *m_lists[i]; }
    const BunsekiGraphList& operator[](std::size_t i) const { return *m_lists[i]; }
    BunsekiGraphList& append() { return *m_lists.emplace_back(std::make_unique<BunsekiGraphList>()); }
    void clear() { m_lists.clear(); }
    // The first list of the name, or nullptr.
    BunsekiGraphList* find(std::string_view name);

    template <class F> void forEach(F&& f) {
        for (auto& l : m_lists)
            f(*l);
    }

private:
    // Each list stays at its address while the list of lists grows: the computations
    // refer to their target and source lists.
    std::vector<std::unique_ptr<BunsekiGraphList>> m_lists;
};

// Empties the list of lists and rebuilds it: for each shown definition, in order, a graph
// list with copies of its fields, its pen, and one empty element per bar of `bars`. The bar
// list must be complete: the elements refer to its bars. A definition that was not compiled
// when it was loaded (made in code rather than read from the table) is compiled here.
void CreateBunsekiGraphLists(market::KeisenList& bars, const BunsekiList& definitions,
                             BunsekiGraphListList& lists);
// Empties the value of every element of every graph list.
void ClearBunsekiGraphValues(BunsekiGraphListList& lists);

} // namespace tavora::analysis

#pragma once
// The annotations of the code on screen: one GraphDrawList per period, all loaded for the same
// code, plus the stored rows of that code whose period letter this program does not know
// (kept as read so that a save can write them back; never drawn). UI thread.
#include "annotations/GraphDrawList.h"

#include <array>
#include <string>
#include <vector>

namespace tavora::annotations {

class CodeAnnotations {
public:
    CodeAnnotations()
        : m_lists{GraphDrawList(market::ChartPeriod::Day), GraphDrawList(market::ChartPeriod::Week),
                  GraphDrawList(market::ChartPeriod::Month), GraphDrawList(market::ChartPeriod::Year)} {}

    // Empties the four lists and the kept rows for `code`: every element pointer is invalid
    // afterwards.
    void reset(const std::string& code) {
        for (auto& list : m_lists)
            list.reset(code);
        foreign.clear();
    }
    const std::string& code() const { return m_lists[0].code(); }
    GraphDrawList& list(market::ChartPeriod p) { return m_lists[std::size_t(market::periodIndex(p))]; }
    const GraphDrawList& list(market::ChartPeriod p) const {
        return m_lists[std::size_t(market::periodIndex(p))];
    }
    // The list of a period letter; null for a letter that is not "d", "w", "m" or "y".
    GraphDrawList* listOf(std::string_view kikan) {
        const auto p = market::periodFromLetter(kikan);
        return p ? &list(*p) : nullptr;
    }

    // Rows of the code with an unknown `kikan`, as read.
    std::vector<framework::SQLListRow> foreign;

private:
    std::array<GraphDrawList, 4> m_lists;
};

} // namespace tavora::annotations

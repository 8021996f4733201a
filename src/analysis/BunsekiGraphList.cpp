#include "analysis/BunsekiGraphList.h"

#include "analysis/BunsekiProgram.h"

namespace tavora::analysis {

std::ptrdiff_t BunsekiGraphList::indexOfBar(const market::KeisenElm& bar) const {
    const market::KeisenElm* p = &bar;
    if (m_bars == nullptr || p < m_bars || p >= m_bars + m_elements.size())
        return -1;
    return p - m_bars;
}

void BunsekiGraphList::attachBars(market::KeisenList& bars) {
    m_bars = bars.empty() ? nullptr : &bars[0];
    m_elements.assign(bars.size(), BunsekiGraphElement{});
}

void BunsekiGraphList::clearValues() {
    for (auto& e : m_elements)
        e.initialize();
}

void BunsekiGraphList::initialize() {
    *this = BunsekiGraphList{};
}

void CreateGraphPen(BunsekiGraphList& list) {
    list.pen = MakeGraphPen(list.colour, list.width, list.lineStyle);
}

BunsekiGraphList* BunsekiGraphListList::find(std::string_view name) {
    for (auto& l : m_lists)
        if (l->name == name)
            return l.get();
    return nullptr;
}

void CreateBunsekiGraphLists(market::KeisenList& bars, const BunsekiList& definitions,
                             BunsekiGraphListList& lists) {
    lists.clear();
    for (const BunsekiElement& def : definitions) {
        if (!def.shown)
            continue;
        BunsekiGraphList& list = lists.append();
        list.name = def.name;
        list.formula = def.formula;
        list.colour = def.colour;
        list.width = def.width;
        list.lineStyle = def.lineStyle;
        list.kind = def.kind;
        list.param1 = def.param1;
        list.param2 = def.param2;
        list.program = def.program ? def.program : BunsekiProgramOf(def.kind, def.formula, def.param1);
        CreateGraphPen(list);
        list.attachBars(bars);
    }
}

void ClearBunsekiGraphValues(BunsekiGraphListList& lists) {
    lists.forEach([](BunsekiGraphList& l) { l.clearValues(); });
}

} // namespace tavora::analysis

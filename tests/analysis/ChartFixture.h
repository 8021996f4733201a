#pragma once
// Bars and graph definitions for the analysis tests: a bar list built from a table given
// oldest first, and the graph values read back oldest first.
#include "analysis/BunsekiGraphList.h"
#include "analysis/GraphKeisan.h"
#include "market/Keisen.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tavora::analysis::test {

struct Bar {
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> close;
    bool priced = true; // has an open price (false: a future market day)
};

// Bars oldest first, with ascending dates from 2000-01-01 (25 days a month).
inline void buildBars(market::KeisenList& list, const std::vector<Bar>& oldestFirst) {
    list.reset();
    list.reserve(oldestFirst.size());
    for (std::size_t k = oldestFirst.size(); k-- > 0;) {
        market::KeisenElm& e = list.append();
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", 2000 + static_cast<int>(k / 300),
                      static_cast<int>(k / 25 % 12) + 1, static_cast<int>(k % 25) + 1);
        e.setDate(date);
        const Bar& b = oldestFirst[k];
        if (b.priced)
            e.open = b.close.value_or(1.0);
        e.high = b.high;
        e.low = b.low;
        e.close = b.close;
    }
}

// Priced bars with high, low and close from three columns.
inline std::vector<Bar> pricedBars(const std::vector<double>& highs, const std::vector<double>& lows,
                                   const std::vector<double>& closes) {
    std::vector<Bar> bars;
    for (std::size_t i = 0; i < highs.size(); ++i)
        bars.push_back({highs[i], lows[i], closes[i], true});
    return bars;
}

inline BunsekiElement definition(std::string name, int kind, std::string param1, std::string param2 = {},
                                 bool shown = true) {
    BunsekiElement e;
    e.name = std::move(name);
    e.kind = kind;
    e.param1 = std::move(param1);
    e.param2 = std::move(param2);
    e.shown = shown;
    return e;
}

inline BunsekiList definitions(const std::vector<BunsekiElement>& defs) {
    BunsekiList list;
    for (const auto& d : defs)
        list.CreateBunsekiElement() = d;
    return list;
}

// One period computed in full, as opening a code does.
struct Period {
    market::KeisenList bars;
    BunsekiGraphListList graphs;
    GraphKeisanList keisan;

    void open(const std::vector<Bar>& oldestFirst, const BunsekiList& defs, int emptyAfter = 0) {
        buildBars(bars, oldestFirst);
        CreateBunsekiGraphLists(bars, defs, graphs);
        keisan.clear();
        CreateGraphKeisanList(keisan, graphs);
        RunGraphKeisan(bars, keisan, emptyAfter);
    }

    // The values of a graph, oldest bar first ("" where there is none).
    std::vector<std::string> values(std::string_view name) {
        std::vector<std::string> out;
        BunsekiGraphList* g = graphs.find(name);
        if (!g)
            return out;
        for (std::size_t i = g->count(); i-- > 0;)
            out.emplace_back(g->value(i));
        return out;
    }
};

} // namespace tavora::analysis::test

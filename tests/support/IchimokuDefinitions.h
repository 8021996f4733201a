#pragma once
// The five Ichimoku lines as the shipped analysis defaults define them, for tests and
// benchmarks that open charts.
#include "analysis/BunsekiElement.h"

namespace tavora::test {

inline analysis::BunsekiList ichimokuDefinitions() {
    analysis::BunsekiList defs;
    auto add = [&](const char* name, int kind, const char* p1, const char* p2 = "") {
        auto& e = defs.CreateBunsekiElement();
        e.name = name;
        e.kind = kind;
        e.param1 = p1;
        e.param2 = p2;
    };
    add("転換線", analysis::KindHanne, "9");
    add("基準線", analysis::KindHanne, "26");
    add("遅行スパン", analysis::KindChikouSpan, "26");
    add("先行スパン1", analysis::KindSenkouSpan1, "基準線", "転換線");
    add("先行スパン2", analysis::KindSenkouSpan2, "52");
    return defs;
}

} // namespace tavora::test

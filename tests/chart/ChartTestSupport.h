#pragma once
// Bar lists for the chart tests, given oldest first, with real dates.
#include "chart/GraphViewState.h"
#include "market/Keisen.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavora::chart::test {

struct BarSpec {
    BarSpec(std::string d, std::optional<double> o, std::optional<double> h, std::optional<double> l,
            std::optional<double> c, std::int64_t v = 0, std::string s = {})
        : date(std::move(d)), open(o), high(h), low(l), close(c), volume(v), split(std::move(s)) {}
    std::string date;  // "YYYY-MM-DD"
    std::optional<double> open, high, low, close;
    std::int64_t volume = 0;
    std::string split;
};

// Appends newest first, so the list ends up as the chart keeps it.
inline void buildBars(market::KeisenList& list, const std::vector<BarSpec>& oldestFirst) {
    list.reset();
    for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it) {
        market::KeisenElm& e = list.append();
        e.setDate(it->date);
        e.open = it->open;
        e.high = it->high;
        e.low = it->low;
        e.close = it->close;
        e.volume = it->volume;
        e.split = it->split;
    }
}

// Weekdays from `first` on, `count` of them, each priced open..close with a 10-yen range.
inline std::vector<BarSpec> weekdays(int year, int month, int day, int count, double price = 1000) {
    std::vector<BarSpec> out;
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    while (static_cast<int>(out.size()) < count) {
        std::mktime(&t);
        if (t.tm_wday != 0 && t.tm_wday != 6) {
            char text[16];
            std::strftime(text, sizeof text, "%Y-%m-%d", &t);
            out.push_back({text, price, price + 5, price - 5, price + 2, 1000});
        }
        ++t.tm_mday;
    }
    return out;
}

}  // namespace tavora::chart::test

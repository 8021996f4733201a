#pragma once
// Small builders shared by the market tests.
#include "market/Keisen.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavora::market::test {

struct Day {
    std::string date;
    std::optional<double> open, high, low, close;
    std::int64_t volume = 0;
    std::string split = {};
};

// A day list from days given oldest first (the list itself runs newest first).
inline KeisenList makeDays(const std::vector<Day>& oldestFirst) {
    KeisenList list;
    for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it) {
        KeisenElm& bar = list.append();
        bar.setDate(it->date);
        bar.open = it->open;
        bar.high = it->high;
        bar.low = it->low;
        bar.close = it->close;
        bar.volume = it->volume;
        bar.split = it->split;
    }
    return list;
}

// A day with all four prices equal.
inline Day flat(std::string date, double price, std::int64_t volume = 100, std::string split = {}) {
    return {std::move(date), price, price, price, price, volume, std::move(split)};
}

} // namespace tavora::market::test

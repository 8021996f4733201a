#pragma once
// A long day chart for benchmarks: `count` weekdays going back from 2026-11-30, prices a random
// walk around 20,000 yen from a fixed seed, so every run paints the same picture.
#include "market/Keisen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace tavora::test {

inline void buildRandomWalkDayBars(market::KeisenList& bars, std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 120.0);
    std::vector<std::string> dates;
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 10;
    t.tm_mday = 30;
    t.tm_hour = 12;
    while (dates.size() < count) {
        std::mktime(&t);
        if (t.tm_wday != 0 && t.tm_wday != 6) {
            char text[16];
            std::strftime(text, sizeof text, "%Y-%m-%d", &t);
            dates.emplace_back(text);
        }
        --t.tm_mday;
    }
    double price = 20000;
    for (const std::string& date : dates) { // newest first
        market::KeisenElm& bar = bars.append();
        bar.setDate(date);
        const double open = price, close = std::max(100.0, price + step(rng));
        bar.open = open;
        bar.close = close;
        bar.high = std::max(open, close) + std::fabs(step(rng)) / 2;
        bar.low = std::min(open, close) - std::fabs(step(rng)) / 2;
        bar.volume = 1000000 + static_cast<std::int64_t>(std::fabs(step(rng)) * 10000);
        price = open; // walking back in time
    }
}

} // namespace tavora::test

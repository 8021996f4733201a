#pragma once
// Today's prices of one code as the companion application reports them, before they are merged
// into an opened chart (chart/TodayBar.h). A plain value type.
#include <cstdint>
#include <string>

namespace tavora::market {

struct TodayPrices {
    std::string date; // "YYYY-MM-DD"
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    std::int64_t volume = 0;
};

} // namespace tavora::market

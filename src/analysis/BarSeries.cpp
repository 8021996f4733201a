#include "analysis/BarSeries.h"

#include <limits>

namespace tavora::analysis {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

double priceOf(const std::optional<double>& p) {
    return p && *p != 0.0 ? *p : kMissing;
}

} // namespace

const std::vector<double>& BarSeries::field(SeriesField s) const {
    switch (s) {
    case SeriesField::Open:
        return open;
    case SeriesField::High:
        return high;
    case SeriesField::Low:
        return low;
    case SeriesField::Volume:
        return volume;
    case SeriesField::Close:
        break;
    }
    return close;
}

BarSeries BarSeriesOf(std::span<const market::KeisenElm> newestFirst, int emptyAfter) {
    const std::size_t n = newestFirst.size();
    BarSeries s;
    s.open.assign(n, kMissing);
    s.high.assign(n, kMissing);
    s.low.assign(n, kMissing);
    s.close.assign(n, kMissing);
    s.volume.assign(n, kMissing);
    s.priced.assign(n, 0);
    for (std::size_t k = 0; k < n; ++k) {
        const market::KeisenElm& bar = newestFirst[n - 1 - k];
        if (!bar.open || *bar.open == 0.0 || bar.noData != 0 ||
            (emptyAfter != 0 && bar.dateNumber() > emptyAfter))
            continue;
        s.priced[k] = 1;
        s.open[k] = priceOf(bar.open);
        s.high[k] = priceOf(bar.high);
        s.low[k] = priceOf(bar.low);
        s.close[k] = priceOf(bar.close);
        s.volume[k] = static_cast<double>(bar.volume);
    }
    return s;
}

} // namespace tavora::analysis

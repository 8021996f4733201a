#include "printing/SheetPlan.h"

#include "framework/Dates.h"

#include <algorithm>

namespace tavora::printing {

using market::ChartPeriod;

const std::vector<std::int64_t>& stepTable(ChartPeriod period) {
    static const std::vector<std::int64_t> day{1000000, 100000, 50000, 20000, 10000, 5000,
                                               2000,    1000,   500,   200,   100,   50};
    static const std::vector<std::int64_t> longer{2000000, 200000, 100000, 40000, 20000, 10000,
                                                  2000,    1000,   400,    200,   100};
    return period == ChartPeriod::Day ? day : longer;
}

StepChoices stepChoices(ChartPeriod period, std::int64_t gridYen) {
    const std::int64_t v = usableStep(gridYen);
    std::vector<std::int64_t> table = stepTable(period);
    auto at = std::find(table.begin(), table.end(), v);
    if (at == table.end())
        at = table.insert(std::find_if(table.begin(), table.end(), [v](std::int64_t e) { return e < v; }), v);
    const auto i = at - table.begin();
    const auto from = std::max<std::ptrdiff_t>(0, i - 2);
    const auto to = std::min<std::ptrdiff_t>(std::ptrdiff_t(table.size()) - 1, i + 2);
    StepChoices c;
    c.entries.assign(table.begin() + from, table.begin() + to + 1);
    c.step = v;
    return c;
}

BarRange printRange(const PeriodSnapshot& period, YearMonth start, YearMonth end) {
    const auto& bars = period.bars;
    BarRange r;
    if (bars.empty())
        return r;
    // Year bars are dated by their first priced day, which need not be in January.
    const bool yearOnly = period.period == ChartPeriod::Year;
    auto monthOf = [yearOnly](int year, int month) { return year * 100 + (yearOnly ? 0 : month); };
    std::size_t first = 0;
    if (!start.empty()) {
        const int from = monthOf(start.year, start.month);
        auto it = std::find_if(bars.begin(), bars.end(),
                               [&](const SheetBar& b) { return monthOf(b.year, b.month) >= from; });
        if (it == bars.end())
            return r; // the start lies after the newest bar
        first = std::size_t(it - bars.begin());
    }
    std::size_t last = bars.size() - 1;
    if (!end.empty()) {
        const int to = monthOf(end.year, end.month);
        auto it = std::find_if(bars.rbegin(), bars.rend(),
                               [&](const SheetBar& b) { return monthOf(b.year, b.month) <= to; });
        if (it == bars.rend())
            return r; // the end lies before the oldest bar
        last = bars.size() - 1 - std::size_t(it - bars.rbegin());
    }
    if (first > last)
        return r;
    r.first = first;
    r.last = last;
    r.empty = false;
    return r;
}

std::string referenceDate(const PeriodSnapshot& period, YearMonth end) {
    if (!end.empty() && end.month <= 12)
        return framework::formatDate(end.year, end.month, framework::daysInMonth(end.year, end.month));
    return period.anchorDate;
}

const SheetBar* referenceBar(const PeriodSnapshot& period, std::string_view date) {
    const int limit = framework::ConvertCarenderToInt(date);
    for (auto it = period.bars.rbegin(); it != period.bars.rend(); ++it) {
        if (limit > 0 && it->dateNumber() > limit)
            continue;
        if (it->close && *it->close > 0)
            return &*it;
    }
    return nullptr;
}

std::optional<std::int64_t> lowestPrice(const PrintSnapshot& snapshot, const PrintChoices& choices,
                                        const SheetGeometry& geometry) {
    if (!snapshot.codeOpen)
        return std::nullopt;
    if (choices.period == ChartPeriod::Month || choices.period == ChartPeriod::Year)
        return 0;
    const PeriodSnapshot& period = snapshot.period(choices.period);
    const std::int64_t step = usableStep(choices.step);
    const SheetBar* bar = referenceBar(period, referenceDate(period, choices.end));
    const std::int64_t close = bar ? static_cast<std::int64_t>(*bar->close) : 0;
    // Integer division truncates toward zero, as the quotient is cut to a whole number.
    const std::int64_t lowest = step * ((close - step * (geometry.rows / 100)) / step);
    return std::max<std::int64_t>(0, lowest);
}

std::vector<std::int64_t> lowestCandidates(std::int64_t lowest, std::int64_t step) {
    std::vector<std::int64_t> out;
    step = usableStep(step);
    for (int n = 7; n >= -7; --n)
        if (lowest + n * step >= 0)
            out.push_back(lowest + n * step);
    return out;
}

int sheetCount(const BarRange& range, int barCells, int columns) {
    const std::int64_t cells = std::int64_t(range.count()) * std::max(1, barCells);
    const std::int64_t perSheet = std::max(1, columns);
    return int(std::max<std::int64_t>(1, (cells + perSheet - 1) / perSheet));
}

std::size_t sheetFirstBar(const BarRange& range, int sheet, int barCells, int columns) {
    const std::int64_t k = std::max(1, sheet);
    return range.first + std::size_t((k - 1) * columns / std::max(1, barCells));
}

std::int64_t volumeUnit(std::int64_t largestVolume) {
    if (largestVolume <= 0)
        return 0;
    return std::max<std::int64_t>(1, largestVolume / 150);
}

} // namespace tavora::printing

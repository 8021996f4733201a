#include "printing/RangeCheck.h"

#include "printing/SheetPlan.h"

#include <algorithm>
#include <cstdio>

namespace tavora::printing {

using market::ChartPeriod;

namespace {

// A price of 0 stands for none (the coming days of a year bar can carry one).
bool hasPrice(const SheetBar& b) {
    for (const auto& p : {b.open, b.high, b.low, b.close})
        if (p && *p > 0)
            return true;
    return false;
}

// "2026-06", or "2026" on a year chart.
std::string monthText(const YearMonth& ym, ChartPeriod period) {
    char text[16];
    if (period == ChartPeriod::Year)
        std::snprintf(text, sizeof text, "%04d", ym.year);
    else
        std::snprintf(text, sizeof text, "%04d-%02d", ym.year, ym.month);
    return text;
}

// "2026年06月", or "2026年" on a year chart.
std::string monthTextJa(const YearMonth& ym, ChartPeriod period) {
    char text[32];
    if (period == ChartPeriod::Year)
        std::snprintf(text, sizeof text, "%04d年", ym.year);
    else
        std::snprintf(text, sizeof text, "%04d年%02d月", ym.year, ym.month);
    return text;
}

int monthNumber(const YearMonth& ym, ChartPeriod period) {
    return ym.year * 100 + (period == ChartPeriod::Year ? 0 : ym.month);
}

std::string_view englishPeriod(ChartPeriod period) {
    switch (period) {
    case ChartPeriod::Day:
        return "day";
    case ChartPeriod::Week:
        return "week";
    case ChartPeriod::Month:
        return "month";
    case ChartPeriod::Year:
        return "year";
    }
    return "day";
}

} // namespace

RangeCheck checkRange(const PeriodSnapshot& period, YearMonth start, YearMonth end) {
    RangeCheck check;
    check.period = period.period;
    check.start = start;
    check.end = end;
    const auto& bars = period.bars;
    if (auto it = std::find_if(bars.begin(), bars.end(), hasPrice); it != bars.end()) {
        check.pricedFrom = it->date;
        check.pricedTo = std::find_if(bars.rbegin(), bars.rend(), hasPrice)->date;
    }
    if (!start.empty() && !end.empty() && monthNumber(start, period.period) > monthNumber(end, period.period)) {
        check.fault = RangeFault::StartAfterEnd;
        return check;
    }
    const BarRange range = printRange(period, start, end);
    const bool priced =
        !range.empty && std::any_of(bars.begin() + std::ptrdiff_t(range.first),
                                    bars.begin() + std::ptrdiff_t(range.last) + 1, hasPrice);
    if (!priced)
        check.fault = RangeFault::NoPrices;
    return check;
}

std::string rangeRefusalText(const RangeCheck& c) {
    switch (c.fault) {
    case RangeFault::None:
        return {};
    case RangeFault::StartAfterEnd:
        return "nothing to print: the range starts (" + monthText(c.start, c.period) + ") after it ends (" +
               monthText(c.end, c.period) + ")";
    case RangeFault::NoPrices:
        break;
    }
    const std::string chart = "the " + std::string(englishPeriod(c.period)) + " chart";
    if (c.pricedFrom.empty())
        return "nothing to print: " + chart + " has no prices";
    std::string span;
    if (!c.start.empty() && !c.end.empty())
        span = "from " + monthText(c.start, c.period) + " to " + monthText(c.end, c.period);
    else if (!c.start.empty())
        span = "from " + monthText(c.start, c.period) + " on";
    else if (!c.end.empty())
        span = "up to " + monthText(c.end, c.period);
    else
        span = "in the range";
    return "nothing to print: " + chart + " has no prices " + span + " (its prices run from " + c.pricedFrom +
           " to " + c.pricedTo + ")";
}

std::string rangeRefusalTextJa(const RangeCheck& c) {
    switch (c.fault) {
    case RangeFault::None:
        return {};
    case RangeFault::StartAfterEnd:
        return "期間の開始（" + monthTextJa(c.start, c.period) + "）が終了（" + monthTextJa(c.end, c.period) +
               "）より後です。印刷するものがありません。";
    case RangeFault::NoPrices:
        break;
    }
    if (c.pricedFrom.empty())
        return "このグラフには株価がありません。印刷するものがありません。";
    std::string span;
    if (!c.start.empty() && !c.end.empty())
        span = monthTextJa(c.start, c.period) + "から" + monthTextJa(c.end, c.period) + "まで";
    else if (!c.start.empty())
        span = monthTextJa(c.start, c.period) + "から";
    else if (!c.end.empty())
        span = monthTextJa(c.end, c.period) + "まで";
    else
        span = "全体";
    return "期間（" + span + "）に株価がありません。株価があるのは" + c.pricedFrom + "から" + c.pricedTo +
           "までです。";
}

} // namespace tavora::printing

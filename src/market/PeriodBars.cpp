#include "market/PeriodBars.h"

#include "market/Bunkatsu.h"

#include <cstdio>

namespace tavora::market {

namespace {

// Merges an adjusted day (o, h, l, c: 0 where absent) into its period bar.
inline void mergeDay(KeisenElm& p, const KeisenElm& d, double o, double h, double l, double c) {
    p.date = d.date;
    p.year = d.year;
    p.month = d.month;
    p.day = d.day;
    if (o > 0)
        p.open = o;
    if (!p.high || *p.high == 0 || h > *p.high)
        p.high = h;
    if (l > 0 && (!p.low || *p.low == 0 || l < *p.low))
        p.low = l;
    if (!p.close || *p.close == 0)
        p.close = c;
    p.volume = addVolume(p.volume, d.volume);
}

// A week or month bar that closed without any price shows zeros instead of nothing.
inline void zeroFixUp(KeisenElm* p) {
    if (p && p->high && *p->high == 0 && p->close && *p->close == 0) {
        p->open = 0.0;
        p->low = 0.0;
    }
}

inline double scaled(std::optional<double>& v, double f) {
    if (!v)
        return 0;
    if (f != 1.0)
        *v *= f;
    return *v;
}

} // namespace

PricedRange AggregatePeriods(KeisenList& day, KeisenList& week, KeisenList& month, KeisenList& year) {
    PricedRange range;
    week.reset();
    month.reset();
    year.reset();
    week.reserve(day.size() / 4 + 2);
    month.reserve(day.size() / 18 + 2);
    year.reserve(day.size() / 200 + 2);
    // Period bars are addressed by index: appending may move the list's storage.
    std::optional<std::size_t> w, m, y;
    double f = 1.0;
    for (std::size_t i = 0; i < day.size(); ++i) {
        KeisenElm& d = day[i];
        const double o = scaled(d.open, f);
        const double h = scaled(d.high, f);
        const double l = scaled(d.low, f);
        const double c = scaled(d.close, f);
        if (d.open) {
            if (!range.newest) {
                range.newest = i;
                range.newestDateNumber = d.dateNumber();
            }
            range.oldest = i;
        }

        // Week and month numbers restart every year: the year is part of the key, so days of
        // the same number in different years never share a bar, even with no day between them.
        const int wk = d.year * 100 + d.weekKey();
        if (!w || wk != week.lastWeekKey) {
            if (w)
                zeroFixUp(&week[*w]);
            week.lastWeekKey = wk;
            week.append();
            w = week.size() - 1;
        }
        mergeDay(week[*w], d, o, h, l, c);

        const int mk = d.year * 100 + d.month;
        if (!m || mk != month.lastMonthKey) {
            if (m)
                zeroFixUp(&month[*m]);
            month.lastMonthKey = mk;
            month.append();
            m = month.size() - 1;
        }
        mergeDay(month[*m], d, o, h, l, c);

        if (!y || d.year != year.lastYearKey) {
            year.lastYearKey = d.year;
            year.append();
            y = year.size() - 1;
        }
        mergeDay(year[*y], d, o, h, l, c);

        if (!d.split.empty()) {
            // ApplySplits marks only usable ratios; a text set any other way is not trusted.
            if (const auto r = parseSplitRatio(d.split)) {
                f /= *r;
                week[*w].combineSplit(d.split, *r);
                month[*m].combineSplit(d.split, *r);
                year[*y].combineSplit(d.split, *r);
            }
        }
    }
    return range;
}

void FillGaps(KeisenList& day, const PricedRange& range) {
    if (range.empty())
        return;
    // Indexes grow towards older days: walk from the oldest priced day up to the newest.
    for (std::size_t i = *range.oldest; i > *range.newest; --i) {
        KeisenElm& d = day[i];
        if (!d.open) {
            d.open = 0.0;
            d.noData = 1;
        }
        if (!d.high)
            d.high = 0.0;
        if (!d.low)
            d.low = 0.0;
        if (!d.close)
            d.close = 0.0;
    }
}

void AppendFuturePeriods(KeisenList& month, KeisenList& year) {
    char buf[32];
    if (!month.empty()) {
        int y = month[0].year;
        int m = month[0].month;
        month.insertNewest(kFutureMonths, false);
        for (int k = kFutureMonths - 1; k >= 0; --k) {
            if (++m > 12) {
                m = 1;
                ++y;
            }
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, 1);
            month[static_cast<std::size_t>(k)].setDate(buf);
        }
    }
    if (!year.empty()) {
        int y = year[0].year;
        year.insertNewest(kFutureYears, false);
        for (int k = kFutureYears - 1; k >= 0; --k) {
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", ++y, 1, 1);
            year[static_cast<std::size_t>(k)].setDate(buf);
        }
    }
}

void EmptyBarsAfterLastPrice(KeisenList& bars, const PricedRange& range) {
    for (auto& bar : bars)
        if (range.empty() || bar.dateNumber() > range.newestDateNumber)
            bar.clearPrices();
}

} // namespace tavora::market

#pragma once
// Print snapshots for the printing tests, built from bar specs given oldest first.
#include "chart/ChartTestSupport.h"
#include "printing/PrintSnapshot.h"

#include <vector>

namespace tavora::printing::test {

using chart::test::BarSpec;
using chart::test::weekdays;

inline SheetBar sheetBar(const BarSpec& b) {
    SheetBar s;
    s.date = b.date;
    const auto ymd = framework::splitDate(b.date);
    s.year = ymd.year;
    s.month = ymd.month;
    s.day = ymd.day;
    s.open = b.open;
    s.high = b.high;
    s.low = b.low;
    s.close = b.close;
    s.volume = b.volume;
    return s;
}

// A snapshot with a code open and the bars in the given period; the other periods empty.
inline PrintSnapshot snapshotWith(market::ChartPeriod period, const std::vector<BarSpec>& oldestFirst,
                                  std::string anchor = "2026-12-08", int gridYen = 1000) {
    PrintSnapshot snap;
    snap.codeOpen = true;
    snap.title = {"1001", "極東電機", "東証プライム", "電気機器"};
    snap.weeks = market::DateList({2026, 12, 8});
    for (std::size_t i = 0; i < 4; ++i) {
        snap.periods[i].period = market::kAllPeriods[i];
        snap.periods[i].anchorDate = anchor;
        snap.periods[i].gridYen = gridYen;
    }
    PeriodSnapshot& p = snap.period(period);
    for (const BarSpec& b : oldestFirst) {
        p.bars.push_back(sheetBar(b));
        p.largestVolume = std::max(p.largestVolume, b.volume);
    }
    return snap;
}

} // namespace tavora::printing::test

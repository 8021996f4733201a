#pragma once
// Whether the chosen months give anything to print, checked alike by the print dialog and by
// `tavora-cli print`: a range that starts after it ends, or that holds no bar with prices,
// prints nothing, and a blank sheet must not pass for a chart. A range that runs on into the
// coming market days after the newest prices is fine (the sheets are continued by hand). Pure
// functions; any thread.
#include "printing/PrintChoices.h"
#include "printing/PrintSnapshot.h"

#include <string>

namespace tavora::printing {

enum class RangeFault {
    None,
    StartAfterEnd, // the start month lies after the end month
    NoPrices,      // no bar of the range has a price (before the oldest, after the newest bar)
};

struct RangeCheck {
    RangeFault fault = RangeFault::None;
    market::ChartPeriod period = market::ChartPeriod::Day;
    YearMonth start; // as chosen; empty: from the oldest bar
    YearMonth end;   // as chosen; empty: to the last bar (future market days included)
    // The period's oldest and newest bar with a price ("YYYY-MM-DD"); empty when it has none.
    std::string pricedFrom;
    std::string pricedTo;

    bool ok() const { return fault == RangeFault::None; }
};

// The check of the range printRange() gives for `start` and `end` on the period's bars.
RangeCheck checkRange(const PeriodSnapshot& period, YearMonth start, YearMonth end);

// Why nothing is printed, in one line of English for the command line, e.g. "nothing to print:
// the day chart has no prices from 2027-03 on (its prices run from 2016-01-04 to 2026-12-08)".
// Empty when the check passed.
std::string rangeRefusalText(const RangeCheck& check);
// The same for the print dialog, in Japanese.
std::string rangeRefusalTextJa(const RangeCheck& check);

} // namespace tavora::printing

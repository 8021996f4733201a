#pragma once
// How a print is laid out over sheets: the price-per-50-cells entries of a period, the bars of
// the chosen range, the price at the bottom line, the number of sheets and the first bar of
// each, and the volume scale. Pure functions of a snapshot and the choices; any thread.
#include "printing/PrintChoices.h"
#include "printing/PrintSnapshot.h"
#include "printing/SheetGeometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavora::printing {

// The price per 50 cells used when none is known yet (no scale, or a step of 0 or less).
inline constexpr std::int64_t kFallbackStep = 1000;

// The step table of a period, largest first.
const std::vector<std::int64_t>& stepTable(market::ChartPeriod period);

struct StepChoices {
    std::vector<std::int64_t> entries; // in table order
    std::int64_t step = kFallbackStep; // the one chosen
};
// The entries offered around a panel's grid interval v: the two table entries before v, v and
// the two after (v takes its place in the descending order when the table lacks it). A v of 0
// or less (no scale yet) is taken as 1000.
StepChoices stepChoices(market::ChartPeriod period, std::int64_t gridYen);
// A step of 0 or less means the fallback.
inline std::int64_t usableStep(std::int64_t step) {
    return step > 0 ? step : kFallbackStep;
}

// The bars printed, as indexes into the period's bars (oldest first), both included.
struct BarRange {
    std::size_t first = 0;
    std::size_t last = 0;
    bool empty = true;
    std::size_t count() const { return empty ? 0 : last - first + 1; }
};
// From the oldest bar in or after the start month (the oldest bar when the start is empty) to
// the newest bar in or before the end month (the newest bar when the end is empty). Year
// charts compare the year alone. A start after the end, a start after the newest bar or an end
// before the oldest bar is an empty range (see RangeCheck.h for what is refused).
BarRange printRange(const PeriodSnapshot& period, YearMonth start, YearMonth end);

// The date the bottom price is taken at: the last day of the end month when it is chosen,
// else the panel's anchor date.
std::string referenceDate(const PeriodSnapshot& period, YearMonth end);
// The newest bar at or before the date ("YYYY-MM-DD") that has a close above 0; with an
// unreadable date, the newest such bar. Null when there is none.
const SheetBar* referenceBar(const PeriodSnapshot& period, std::string_view date);
// The price of the bottom line: month and year charts 0; day and week charts the reference
// close C less (rows / 100) steps, cut down to a multiple of the step and never below 0.
// None when no code is open.
std::optional<std::int64_t> lowestPrice(const PrintSnapshot& snapshot, const PrintChoices& choices,
                                        const SheetGeometry& geometry);
// The candidates offered for the bottom price: lowest + n x step for n from 7 down to -7,
// without negative prices.
std::vector<std::int64_t> lowestCandidates(std::int64_t lowest, std::int64_t step);

// Sheets needed for the range: count x barCells cells over `columns` per sheet, rounded up,
// at least 1.
int sheetCount(const BarRange& range, int barCells, int columns);
// Index of the first bar of sheet k (1-based).
std::size_t sheetFirstBar(const BarRange& range, int sheet, int barCells, int columns);

// Volume per pixel: the largest volume / 150, at least 1; 0 when there is no volume at all.
std::int64_t volumeUnit(std::int64_t largestVolume);

} // namespace tavora::printing

#pragma once
// The choices of the print dialog (and of `tavora-cli print`): period, orientation, range of
// months, price per 50 cells, price of the bottom line, bar width, line colours and which
// grid lines are drawn. A plain value type.
#include "framework/Canvas.h"
#include "market/ChartPeriod.h"
#include "printing/SheetGeometry.h"

#include <cstdint>

namespace tavora::printing {

// A year and month chosen in the range boxes; 0 in either means the box is empty.
struct YearMonth {
    int year = 0;
    int month = 0;
    bool empty() const { return year <= 0 || month <= 0; }
    bool operator==(const YearMonth&) const = default;
};

enum class LineScheme { Blue, Grey }; // "ブルー", "グレー"

// Which grid lines are drawn: every 50 cells ("特大線"), 10 ("大線"), 5 ("中線"), every cell ("小線").
struct GridLines {
    bool every50 = true;
    bool every10 = true;
    bool every5 = true;
    bool fine = true;
    bool operator==(const GridLines&) const = default;
};

struct PrintChoices {
    market::ChartPeriod period = market::ChartPeriod::Day;
    Orientation orientation = Orientation::Portrait;
    YearMonth start;          // the dialog starts at January of the current year
    YearMonth end;            // empty: up to the newest bar
    std::int64_t step = 1000; // price per 50 cells
    std::int64_t lowest = 0;  // price of the grid's bottom line
    int barCells = 2;         // cells per bar: 1 "小", 2 "大"
    LineScheme scheme = LineScheme::Blue;
    GridLines lines;
};

// The choices as the dialog starts: from January of the current year to the newest bar.
PrintChoices initialChoices(int currentYear);

// The colours of a scheme (0x00BBGGRR).
struct LineColours {
    framework::ColorRef fine;
    framework::ColorRef every5;
    framework::ColorRef every10;
    framework::ColorRef every50;
    framework::ColorRef text; // price and date texts
    framework::ColorRef tick; // date tick lines
};

LineColours lineColours(LineScheme scheme);

} // namespace tavora::printing

#pragma once
// Opening a code: from the stored rows to the four series the chart panels draw. OpenChart
// builds a new ChartSeries from its input alone and touches nothing a window shows, so the
// desktop runs it on a worker thread and swaps the result in on the UI thread.
// Cancellation is cooperative: the flag is checked between steps and while rows are read;
// a cancelled result is marked and must be discarded.
#include "analysis/BunsekiElement.h"
#include "analysis/BunsekiGraphList.h"
#include "analysis/GraphKeisan.h"
#include "chart/CodeScale.h"
#include "framework/Sql.h"
#include "market/Bunkatsu.h"
#include "market/ChartPeriod.h"
#include "market/Keisen.h"
#include "market/PeriodBars.h"

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavora::chart {

// The bars of one period with the values of its shown analysis graphs and their computations.
struct PeriodSeries {
    market::KeisenList bars;
    analysis::BunsekiGraphListList graphs; // elements refer to `bars`
    analysis::GraphKeisanList keisan;      // computations write into `graphs`
};

// Everything a chart shows for one code. Movable (the bars, graph lists and computations keep
// their addresses); not copyable.
struct ChartSeries {
    std::string code;
    std::array<PeriodSeries, 4> periods;
    market::PricedRange priced;   // newest and oldest day with an open price
    CodeScale scale;              // the code's stored scale, or the defaults
    bool scaleStored = false;     // a row of the code was in the scale table
    std::vector<std::string> log; // lines for the log (splits that were skipped)
    bool cancelled = false;       // the result is incomplete and must be discarded

    PeriodSeries& period(market::ChartPeriod p) {
        return periods[static_cast<std::size_t>(market::periodIndex(p))];
    }
    const PeriodSeries& period(market::ChartPeriod p) const {
        return periods[static_cast<std::size_t>(market::periodIndex(p))];
    }
};

// What opening a code needs; the caller copies it from the context on the UI thread.
struct OpenChartInput {
    // The price database; used by the opening thread alone for the duration of the call.
    framework::ZSqlElement* priceDb = nullptr;
    // The in-memory scale table (graphdata_tb); optional, used like priceDb.
    framework::ZSqlElement* scaleDb = nullptr;
    std::string code;
    market::BunkatsuList splits;       // the catalogue entry's splits
    std::string calendarPath;          // ChooseCalendar of the entry; empty for none
    analysis::BunsekiList definitions; // a copy of the context's analysis definitions
    // Step "annotations of the code": replaces the chart's annotations with the code's as of
    // the current undo position. Supplied by the documents side; none until then.
    std::function<void(ChartSeries&)> loadAnnotations;
};

// Reads every row of a code, newest first, appending one day bar per row that has a date:
// prices that are NULL or 0 stay absent. Returns the SQLite result (0 when the rows were read;
// an unknown code reads no rows and returns 0). Stops early, returning -1, when cancelled.
int LoadDayBars(framework::ZSqlElement& priceDb, const std::string& code, market::KeisenList& day,
                const std::atomic<bool>* cancel = nullptr);

// The code's row of the scale table (pitch, tick and the fixed grids of the four periods);
// none when the table has no row for it.
std::optional<CodeScale> LoadCodeScale(framework::ZSqlElement& scaleDb, const std::string& code);

// Opens a code: rows, future market days, split marks, split-adjusted week, month and year
// bars, gap fill, future months and years, the analysis graph lists and their values, and
// the code's scale.
ChartSeries OpenChart(const OpenChartInput& input, const std::atomic<bool>* cancel = nullptr);
// Everything of OpenChart after the rows were read and the future market days appended: builds
// the series from the code's day bars (newest first).
void BuildChartSeries(const OpenChartInput& input, market::KeisenList dayBars, ChartSeries& series,
                      const std::atomic<bool>* cancel = nullptr);

// Today's prices arrived after the chart was computed: the day computations take the bar
// (their windows carry on), the week, month and year computations are rebuilt and run again.
void ApplyTodayBarToAnalysis(ChartSeries& series, market::KeisenElm& todayBar);

} // namespace tavora::chart

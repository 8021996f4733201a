#include "market/OpenChart.h"

#include "analysis/BunsekiGraphList.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "market/Splits.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace tavora::market {

namespace {

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

}  // namespace

int LoadDayBars(framework::ZSqlElement& priceDb, const std::string& code, KeisenList& day,
                const std::atomic<bool>* cancel) {
    if (!priceDb.isOpen())
        return SQLITE_MISUSE;
    // The rows of the code, read oldest first (SQLite walks an index forwards faster than
    // backwards) and then turned newest first. NULL prices read as 0, which means absent.
    framework::SqlStatement stmt(priceDb, "SELECT date, ifnull(open, 0), ifnull(high, 0), ifnull(low, 0), "
                                          "ifnull(close, 0), ifnull(volume, 0) FROM kabukadb WHERE code = ? "
                                          "ORDER BY date ASC;");
    if (!stmt.ok())
        return priceDb.lastResult() ? priceDb.lastResult() : SQLITE_ERROR;
    stmt.bindText(1, code);
    sqlite3_stmt* s = stmt.handle();
    const auto price = [s](int col) {
        const double v = sqlite3_column_double(s, col);
        return v == 0 ? std::nullopt : std::optional<double>(v);
    };
    KeisenList rows;
    rows.reserve(4096);
    int rc;
    std::size_t count = 0;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        if ((++count & 1023) == 0 && cancelled(cancel))
            return -1;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        if (!text || !*text)
            continue;
        KeisenElm& bar = rows.append();
        bar.setDate(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(s, 0))));
        bar.open = price(1);
        bar.high = price(2);
        bar.low = price(3);
        bar.close = price(4);
        bar.volume = sqlite3_column_int64(s, 5);
    }
    if (rc != SQLITE_DONE)
        return rc;
    day.appendReversed(std::move(rows));
    return 0;
}

std::optional<chart::CodeScale> LoadCodeScale(framework::ZSqlElement& scaleDb, const std::string& code) {
    if (!scaleDb.isOpen())
        return std::nullopt;
    framework::SQLList result;
    framework::SQLListRow params;
    params.add(framework::SQLListElement::text("code", code));
    if (framework::SQL_exec(scaleDb, "select * from graphdata_tb where code = ?", result, params) != 0 ||
        result.empty())
        return std::nullopt;
    const auto& row = result.rows.front();
    const auto number = [&](const std::string& column) { return std::atoi(row.value(column).c_str()); };
    chart::CodeScale scale;
    for (ChartPeriod p : kAllPeriods) {
        const std::string prefix(periodLetter(p));
        const auto i = static_cast<std::size_t>(periodIndex(p));
        scale.pitch[i] = number(prefix + "_x_haba_p");
        scale.tick[i] = number(prefix + "_y_ichimemori");
        scale.fixedGrid[i] = number("sonota" + std::to_string(i + 1));
    }
    return scale;
}

ChartSeries OpenChart(const OpenChartInput& input, const std::atomic<bool>* cancel) {
    ChartSeries series;
    series.code = input.code;
    // The code's annotations from the document's history, as of the current undo position.
    if (input.loadAnnotations)
        input.loadAnnotations(series);
    KeisenList day;
    if (input.priceDb && LoadDayBars(*input.priceDb, input.code, day, cancel) < 0) {
        series.cancelled = true;
        return series;
    }
    BuildChartSeries(input, std::move(day), series, cancel);
    return series;
}

void BuildChartSeries(const OpenChartInput& input, KeisenList dayBars, ChartSeries& series,
                      const std::atomic<bool>* cancel) {
    PeriodSeries& day = series.period(ChartPeriod::Day);
    PeriodSeries& week = series.period(ChartPeriod::Week);
    PeriodSeries& month = series.period(ChartPeriod::Month);
    PeriodSeries& year = series.period(ChartPeriod::Year);
    day.bars = std::move(dayBars);
    if (cancelled(cancel)) {
        series.cancelled = true;
        return;
    }

    // Future market days, so the time axis and the leading spans run on past the last price.
    if (!day.bars.empty() && !input.calendarPath.empty())
        AppendMarketDays(day.bars, input.calendarPath);
    analysis::CreateBunsekiGraphLists(day.bars, input.definitions, day.graphs);

    std::vector<std::string> skipped;
    ApplySplits(input.splits, day.bars, &skipped);
    for (auto& line : skipped)
        series.log.push_back(input.code + ": " + line);
    analysis::CreateGraphKeisanList(day.keisan, day.graphs);
    series.priced = AggregatePeriods(day.bars, week.bars, month.bars, year.bars);
    FillGaps(day.bars, series.priced);
    AppendFuturePeriods(month.bars, year.bars);
    if (cancelled(cancel)) {
        series.cancelled = true;
        return;
    }

    for (PeriodSeries* p : {&week, &month, &year}) {
        analysis::CreateBunsekiGraphLists(p->bars, input.definitions, p->graphs);
        analysis::CreateGraphKeisanList(p->keisan, p->graphs);
    }
    // No week or month bar after the last price carries values (they hold zeros or nothing).
    EmptyBarsAfterLastPrice(week.bars, series.priced);
    EmptyBarsAfterLastPrice(month.bars, series.priced);
    for (PeriodSeries* p : {&day, &week, &month, &year}) {
        analysis::RunGraphKeisan(p->bars, p->keisan);
        if (cancelled(cancel)) {
            series.cancelled = true;
            return;
        }
    }

    if (input.scaleDb) {
        if (auto scale = LoadCodeScale(*input.scaleDb, input.code)) {
            series.scale = *scale;
            series.scaleStored = true;
        }
    }
}

void ApplyTodayBarToAnalysis(ChartSeries& series, KeisenElm& todayBar) {
    PeriodSeries& day = series.period(ChartPeriod::Day);
    analysis::ComputeGraphKeisanBar(day.keisan, todayBar);
    for (ChartPeriod p : {ChartPeriod::Week, ChartPeriod::Month, ChartPeriod::Year}) {
        PeriodSeries& s = series.period(p);
        analysis::RebuildGraphKeisan(s.bars, s.graphs, s.keisan);
    }
}

}  // namespace tavora::market

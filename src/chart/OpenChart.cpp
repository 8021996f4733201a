#include "chart/OpenChart.h"

#include "analysis/BunsekiGraphList.h"
#include "chart/ScaleStore.h"
#include "framework/Dates.h"
#include "framework/Log.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "market/Splits.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace tavora::chart {

namespace {

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

namespace {

// One stored day as read, before it becomes a bar.
struct DayRow {
    std::string date;
    double open, high, low, close; // 0 for NULL or 0: absent
    std::int64_t volume;
};

// What a row whose date is not a real date leaves in the log: the first few texts and a count.
struct SkippedRows {
    static constexpr std::size_t kShown = 5;
    std::vector<std::string> dates;
    std::size_t count = 0;

    void add(std::string_view date) {
        if (count++ < kShown)
            dates.emplace_back(date);
    }
    void report(const std::string& code, std::vector<std::string>& log) const {
        for (const auto& date : dates)
            log.push_back(code + ": 日付が不正な株価データを無視しました: " + framework::logExcerpt(date));
        if (count > dates.size())
            log.push_back(code + ": ほかに " + std::to_string(count - dates.size()) +
                          " 行の日付が不正なため無視しました");
    }
};

// The rows of the code, oldest first. SQLite walks the (code, date) index forwards faster than
// backwards, and a small row type is cheaper to collect than bars. A row whose date is not a
// real "YYYY-MM-DD" never becomes a bar (the period builders key on year, month and day); a
// negative volume reads as 0.
int readDayRows(framework::ZSqlElement& priceDb, const std::string& code, std::vector<DayRow>& rows,
                const std::atomic<bool>* cancel, SkippedRows* skipped = nullptr) {
    if (!priceDb.isOpen())
        return SQLITE_MISUSE;
    framework::SqlStatement stmt(priceDb, "SELECT date, open, high, low, close, volume FROM kabukadb "
                                          "WHERE code = ? ORDER BY date ASC;");
    if (!stmt.ok())
        return priceDb.lastResult() ? priceDb.lastResult() : SQLITE_ERROR;
    stmt.bindText(1, code);
    sqlite3_stmt* s = stmt.handle();
    rows.reserve(4096);
    int rc;
    std::size_t count = 0;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        if ((++count & 1023) == 0 && cancelled(cancel))
            return -1;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        if (!text || !*text)
            continue;
        const std::string_view date(text, static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
        // Stored dates sort as text: only the canonical form keeps the rows in date order.
        if (!framework::parseDate(date) || date[4] != '-') {
            if (skipped)
                skipped->add(date);
            continue;
        }
        // A NULL reads as 0.0 (and 0 as the volume), which is what an absent price is here.
        rows.push_back({std::string(date), sqlite3_column_double(s, 1), sqlite3_column_double(s, 2),
                        sqlite3_column_double(s, 3), sqlite3_column_double(s, 4),
                        std::max<std::int64_t>(0, sqlite3_column_int64(s, 5))});
    }
    return rc == SQLITE_DONE ? 0 : rc;
}

std::optional<double> price(double v) {
    return v == 0 ? std::nullopt : std::optional<double>(v);
}

// Appends the future days (ascending) and then the rows (oldest first) so that the list runs
// newest first; ids are those of reading the rows newest first and inserting the future days
// after them.
void fillDayList(const std::vector<DayRow>& rows, const std::vector<std::string>& future,
                 market::KeisenList& day) {
    const int firstId = day.idCounter() + 1;
    const std::size_t start = day.size();
    day.reserve(start + future.size() + rows.size());
    for (auto it = future.rbegin(); it != future.rend(); ++it)
        day.append().setDate(*it);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        market::KeisenElm& bar = day.append();
        bar.setDate(it->date);
        bar.open = price(it->open);
        bar.high = price(it->high);
        bar.low = price(it->low);
        bar.close = price(it->close);
        bar.volume = it->volume;
    }
    int id = firstId;
    for (std::size_t i = start + future.size(); i < day.size(); ++i)
        day[i].id = id++;
    for (std::size_t k = future.size(); k-- > 0;)
        day[start + k].id = id++;
}

} // namespace

int LoadDayBars(framework::ZSqlElement& priceDb, const std::string& code, market::KeisenList& day,
                const std::atomic<bool>* cancel) {
    std::vector<DayRow> rows;
    const int rc = readDayRows(priceDb, code, rows, cancel);
    if (rc == 0)
        fillDayList(rows, {}, day);
    return rc;
}

std::optional<chart::CodeScale> LoadCodeScale(framework::ZSqlElement& scaleDb, const std::string& code) {
    return chart::readCodeScale(scaleDb, code, chart::CodeScale{});
}

ChartSeries OpenChart(const OpenChartInput& input, const std::atomic<bool>* cancel) {
    ChartSeries series;
    series.code = input.code;
    // The code's annotations from the document's history, as of the current undo position.
    if (input.loadAnnotations)
        input.loadAnnotations(series);
    std::vector<DayRow> rows;
    SkippedRows skipped;
    if (input.priceDb && readDayRows(*input.priceDb, input.code, rows, cancel, &skipped) < 0) {
        series.cancelled = true;
        return series;
    }
    skipped.report(input.code, series.log);
    // Future market days, so the time axis and the leading spans run on past the last price.
    // They are read before the list is built, so no bar has to move to make room for them.
    std::vector<std::string> future;
    if (!rows.empty() && !input.calendarPath.empty()) {
        market::KeisenElm newest;
        newest.setDate(rows.back().date);
        std::vector<std::string> badDates;
        future = market::FutureMarketDates(input.calendarPath, newest.dateNumber(), &badDates);
        for (auto& line : badDates)
            series.log.push_back(input.code + ": " + line);
    }
    market::KeisenList day;
    fillDayList(rows, future, day);
    rows = {};
    BuildChartSeries(input, std::move(day), series, cancel);
    return series;
}

void BuildChartSeries(const OpenChartInput& input, market::KeisenList dayBars, ChartSeries& series,
                      const std::atomic<bool>* cancel) {
    PeriodSeries& day = series.period(market::ChartPeriod::Day);
    PeriodSeries& week = series.period(market::ChartPeriod::Week);
    PeriodSeries& month = series.period(market::ChartPeriod::Month);
    PeriodSeries& year = series.period(market::ChartPeriod::Year);
    day.bars = std::move(dayBars);
    if (cancelled(cancel)) {
        series.cancelled = true;
        return;
    }

    analysis::CreateBunsekiGraphLists(day.bars, input.definitions, day.graphs);

    std::vector<std::string> skipped;
    market::ApplySplits(input.splits, day.bars, &skipped);
    for (auto& line : skipped)
        series.log.push_back(input.code + ": " + line);
    analysis::CreateGraphKeisanList(day.keisan, day.graphs);
    series.priced = market::AggregatePeriods(day.bars, week.bars, month.bars, year.bars);
    market::FillGaps(day.bars, series.priced);
    market::AppendFuturePeriods(month.bars, year.bars);
    if (cancelled(cancel)) {
        series.cancelled = true;
        return;
    }

    for (PeriodSeries* p : {&week, &month, &year}) {
        analysis::CreateBunsekiGraphLists(p->bars, input.definitions, p->graphs);
        analysis::CreateGraphKeisanList(p->keisan, p->graphs);
    }
    // No week or month bar after the last price carries values (they hold zeros or nothing).
    market::EmptyBarsAfterLastPrice(week.bars, series.priced);
    market::EmptyBarsAfterLastPrice(month.bars, series.priced);
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

void ApplyTodayBarToAnalysis(ChartSeries& series, market::KeisenElm& todayBar) {
    PeriodSeries& day = series.period(market::ChartPeriod::Day);
    analysis::ComputeGraphKeisanBar(day.keisan, todayBar);
    for (market::ChartPeriod p :
         {market::ChartPeriod::Week, market::ChartPeriod::Month, market::ChartPeriod::Year}) {
        PeriodSeries& s = series.period(p);
        analysis::RebuildGraphKeisan(s.bars, s.graphs, s.keisan);
    }
}

} // namespace tavora::chart

#pragma once
// Market-day calendars: which calendar a code uses, and the future trading days appended to
// a day bar list so that the time axis (and the leading spans) run on past the last price.
// Pure functions over the list they are given; any thread.
#include "market/CodeList.h"
#include "market/Keisen.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavora::market {

inline constexpr const char* kJapanCalendarFile = "marketday_jpn.csv";
inline constexpr const char* kUsCalendarFile = "marketday_usa.csv";
inline constexpr const char* kUsIndexMarket = "米国指数";

// The calendar file name of a market: the US one for "米国指数", else the Japanese one.
const char* calendarFileName(std::string_view market);
// The calendar path of an entry: market-day directory + "/" + the file name.
std::string ChooseCalendar(const CodeElm& entry, const std::string& marketDayDir);

// The dates of the calendar file (Shift-JIS, first field the date, ascending) later than
// `newestDateNumber` (year * 10000 + month * 100 + day), in calendar order and in the form
// "YYYY-MM-DD". Empty when the file cannot be read. A line whose first field is not a real
// date (framework::parseDate), or whose date is not before the one kept after it (a file out
// of order), is skipped, and a line saying so goes to `skipped`.
std::vector<std::string> FutureMarketDates(const std::string& calendarPath, int newestDateNumber,
                                           std::vector<std::string>* skipped = nullptr);

// Inserts an empty bar for every date later than the newest bar, between the head and the
// newest bar, so the list stays newest first. `dates` ascend (calendar order) and are real
// dates (FutureMarketDates gives them so); others, and dates out of order, are left out. Returns the number of bars
// inserted; nothing happens for an empty list.
std::size_t AppendMarketDates(KeisenList& dayBars, const std::vector<std::string>& dates);
// Reads the calendar file (Shift-JIS, first field the date, ascending) and appends its
// future days. Returns the number of bars inserted (0 when the file cannot be read).
std::size_t AppendMarketDays(KeisenList& dayBars, const std::string& calendarPath,
                             std::vector<std::string>* skipped = nullptr);

} // namespace tavora::market

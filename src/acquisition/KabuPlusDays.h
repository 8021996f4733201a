#pragma once
// Which KABU+ daily files to fetch, and where they live: the trading days of the Japanese
// calendar after the last stored day of the index "0001", from the one-year anchor up to
// today, oldest first; the service path and the local file name of each day. Pure functions
// (the calendar file is read); any thread.
#include "framework/Dates.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavora::acquisition {

// The code whose last stored day says how far the prices reach.
inline constexpr const char* kKabuPlusIndexCode = "0001";

struct DownloadDays {
    std::vector<framework::YmdDate> days; // oldest first, no repeats
    std::size_t badRows = 0;              // calendar rows whose first cell is not a date (skipped)
    std::string error;                    // the calendar could not be read; days is then empty
    bool ok() const { return error.empty(); }
};

// Reads the calendar (CP932 CSV, the date "YYYY-MM-DD" in the first cell of each row) and keeps
// the days d with lastStored < d, oneYearAnchor <= d and d <= today. `lastStored` none: nothing
// is stored yet. Dates are texts "YYYY-MM-DD".
DownloadDays chooseDownloadDays(const std::string& calendarPath, const std::optional<std::string>& lastStored,
                                const std::string& oneYearAnchor, const std::string& today);

// "YYYYMMDD" of a day.
std::string compactDate(const framework::YmdDate& day);
// The service path of a day's file, below the service address.
std::string kabuPlusPath(const framework::YmdDate& day);
// The service address (no trailing "/") followed by the day's path.
std::string kabuPlusUrl(const std::string& baseUrl, const framework::YmdDate& day);
// "japan-all-stock-prices_YYYYMMDD.csv".
std::string kabuPlusFileName(const framework::YmdDate& day);

} // namespace tavora::acquisition

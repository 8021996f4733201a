#pragma once
// The one reader of date cells in price CSV files. Every date the CSV import and the per-code
// import store goes through it, so one trading day always lands on one key of `kabukadb`.
// Pure function, safe from any thread.
#include <optional>
#include <string>
#include <string_view>

namespace tavora::csv {

// "YYYY-MM-DD" for a cell that names a real calendar day, written as one of
//   "2026-01-05", "2026-1-5", "2026/1/5", "2026年1月5日", "20260105",
// the same with full-width digits, dashes or slash, surrounded by blanks, and optionally
// followed by a time of day ("2026/1/5 15:00", "2026-01-05T15:00:00", "2026年1月5日 15時00分"),
// which is dropped. The year has four digits. Empty for anything else.
std::optional<std::string> normalizeCsvDate(std::string_view cell);

} // namespace tavora::csv

#pragma once
// The checks both price imports (the mapped import and the per-code import) apply to a row
// before it is stored, and the reasons a row is skipped, counted by kind so that the CLI and
// the データ取込 page can say what was left out. Pure, safe from any thread.
#include "market/PriceDatabase.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavora::csv {

enum class SkipKind {
    Blank,         // an empty line
    Columns,       // cells missing, or more cells than the file's lines have (an unquoted "1,234")
    Code,          // a code that cannot be stored (empty, too long, control or path characters)
    Date,          // not a day
    DateRange,     // a day before 1900 or after today
    Number,        // a price or volume that is not a number
    Contradiction, // prices that contradict each other, or a negative price
    Duplicate,     // the same code and day again later in the file; the later line is kept
};
inline constexpr std::size_t kSkipKinds = 8;

// Short name of a kind for a status line ("価格の矛盾"), and the English one for the CLI.
const char* skipKindText(SkipKind kind);
const char* skipKindName(SkipKind kind);

struct SkipCounts {
    std::array<std::size_t, kSkipKinds> byKind{};

    std::size_t& operator[](SkipKind kind) { return byKind[static_cast<std::size_t>(kind)]; }
    std::size_t operator[](SkipKind kind) const { return byKind[static_cast<std::size_t>(kind)]; }
    std::size_t total() const;
    SkipCounts& operator+=(const SkipCounts& other);
    bool operator==(const SkipCounts&) const = default;
};

// "価格の矛盾 2, 重複日 1" for the kinds that occurred, in enum order; empty when none.
std::string skipCountsText(const SkipCounts& counts);
// The same with the English names ("contradictory prices 2, duplicate day 1").
std::string skipCountsNames(const SkipCounts& counts);

// Why the prices of a row contradict each other: a negative price, the high below the low, or
// the open or close outside low..high. A price of 0 or none is no price (an empty cell and the
// zero text read as 0, as index rows and untraded days have them) and is compared with nothing.
// `english`, when given, receives the reason in English for tavora-cli.
std::optional<std::string> priceContradiction(const market::PriceRow& row, std::string* english = nullptr);

// Whether a canonical day ("YYYY-MM-DD") lies before 1900 or after `today` (same form).
bool dateOutOfRange(const std::string& date, const std::string& today);
inline constexpr const char* kEarliestDate = "1900-01-01";

// Keeps one row per code and day in a row list, the last one read: a later line with the same
// code and day overwrites the earlier row in place.
class LastRowPerDay {
public:
    // Adds `row` (read from `line`) to `rows`; returns the line of the row it replaced, if any.
    std::optional<std::size_t> add(std::vector<market::PriceRow>& rows, market::PriceRow row,
                                   std::size_t line);

private:
    struct Kept {
        std::size_t index;
        std::size_t line;
    };
    std::unordered_map<std::string, Kept> m_kept; // code "\x1f" date -> where the row is
};

} // namespace tavora::csv

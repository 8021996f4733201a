#pragma once
// Price bars (KeisenElm) and the bar list of one chart period (KeisenList), newest first.
// A list is built by one thread (the chart-opening worker) and then handed over whole; it
// has no locking of its own.
//
// Storage: the bars live in one contiguous std::vector, index 0 the newest bar and the last
// index the oldest (the linked list's head side and tail side). Walking, aggregation and the
// indicator runs touch bars in order, so a contiguous array is much faster than linked nodes.
// Pointers and references to bars stay valid as long as the list gains or loses no bar
// (append, insert, reset, delete all); graph lists that refer to bars are built after the bar
// list is complete.
#include "market/ChartPeriod.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::market {

// One price bar; the same structure serves all four periods.
struct KeisenElm {
    static constexpr std::size_t kMaxDateText = 63;
    static constexpr std::size_t kMaxSplitText = 7;
    static constexpr std::size_t kMaxAnalysisText = 1023;

    std::string date; // "YYYY-MM-DD"; for period bars the oldest priced day of the period
    std::optional<double> open;
    std::optional<double> high;
    std::optional<double> low;
    std::optional<double> close;
    std::int64_t volume = 0; // never split-adjusted
    std::string split;       // empty, or the ratio of the split(s) on this day / in this period
    std::string analysis;    // lines "name value\r\n" appended by the indicator computations
    int noData = 0;          // 1 when the day had no open price and was filled with zeros
    int year = 0;
    int month = 0;
    int day = 0;
    int id = 0; // sequence number given by the owning list (1 for the first bar created)

    // Copies the text and parses year, month and day: up to the first "-" or "/" is the year,
    // up to the second the month, the rest the day (each read like atoi). Parts that cannot be
    // packed into a date number (a year above 99999, a month or day above 99) read as 0.
    void setDate(std::string_view text);
    // year * 10000 + month * 100 + day.
    int dateNumber() const { return year * 10000 + month * 100 + day; }
    // The week a day belongs to when week bars are built: the "%W" week of the year (weeks
    // start on Monday, days before the year's first Monday are week 0).
    int weekKey() const;

    // "%.2f" of the price, empty when absent.
    std::string openText() const { return priceText(open); }
    std::string highText() const { return priceText(high); }
    std::string lowText() const { return priceText(low); }
    std::string closeText() const { return priceText(close); }
    static std::string priceText(const std::optional<double>& value);

    // Combines a split ratio into this bar's split text: an empty text becomes `ratioText`;
    // otherwise the text becomes "%.2f" of (its value / ratio). At most 7 characters are kept.
    void combineSplit(std::string_view ratioText, double ratio);
    // Appends one analysis line; a line that would make the text longer than 1,023 characters
    // is dropped whole. Returns whether it was appended.
    bool appendAnalysisLine(std::string_view line);

    // Empties date, values, volume, split, analysis text and flags.
    void reset();
    // The same, but keeps the date and its parsed parts.
    void clearValues();
    // All four prices absent (the bar keeps its date, volume and texts).
    void clearPrices() { open = high = low = close = std::nullopt; }
};

// The bars of one period of one code, newest first (index 0), oldest last.
class KeisenList {
public:
    using Bars = std::vector<KeisenElm>;
    using iterator = Bars::iterator;
    using const_iterator = Bars::const_iterator;
    using reverse_iterator = Bars::reverse_iterator;
    using const_reverse_iterator = Bars::const_reverse_iterator;

    std::size_t size() const { return m_bars.size(); }
    bool empty() const { return m_bars.empty(); }
    KeisenElm& operator[](std::size_t index) { return m_bars[index]; }
    const KeisenElm& operator[](std::size_t index) const { return m_bars[index]; }
    // The newest bar (next to the head) or the oldest (the tail); nullptr when empty.
    KeisenElm* newest() { return m_bars.empty() ? nullptr : &m_bars.front(); }
    const KeisenElm* newest() const { return m_bars.empty() ? nullptr : &m_bars.front(); }
    KeisenElm* oldest() { return m_bars.empty() ? nullptr : &m_bars.back(); }
    const KeisenElm* oldest() const { return m_bars.empty() ? nullptr : &m_bars.back(); }

    // Newest to oldest.
    iterator begin() { return m_bars.begin(); }
    iterator end() { return m_bars.end(); }
    const_iterator begin() const { return m_bars.begin(); }
    const_iterator end() const { return m_bars.end(); }
    // Oldest to newest.
    reverse_iterator rbegin() { return m_bars.rbegin(); }
    reverse_iterator rend() { return m_bars.rend(); }
    const_reverse_iterator rbegin() const { return m_bars.rbegin(); }
    const_reverse_iterator rend() const { return m_bars.rend(); }

    // Index of a bar of this list (0 = newest). The bar must belong to this list.
    std::size_t indexOf(const KeisenElm& bar) const { return static_cast<std::size_t>(&bar - m_bars.data()); }
    bool contains(const KeisenElm* bar) const {
        return bar && !m_bars.empty() && bar >= m_bars.data() && bar < m_bars.data() + m_bars.size();
    }
    // The neighbour on the newer (head) side or the older (tail) side; nullptr at either end.
    KeisenElm* newerThan(const KeisenElm& bar);
    KeisenElm* olderThan(const KeisenElm& bar);
    const KeisenElm* newerThan(const KeisenElm& bar) const;
    const KeisenElm* olderThan(const KeisenElm& bar) const;

    // Creates a bar (id = counter + 1) after the tail: the new oldest bar.
    KeisenElm& append();
    // Creates a bar (id = counter + 1) immediately on the newer side of the bar at `index`
    // (index == size() puts it after the tail).
    KeisenElm& insertBefore(std::size_t index);
    KeisenElm& insertBefore(const KeisenElm& bar) { return insertBefore(indexOf(bar)); }
    // Creates `count` bars on the newer side of the newest bar in one move (indexes 0 ..
    // count-1 afterwards). Ids follow the order a bar-by-bar insertion would have created
    // them in: from index 0 onwards when `newestCreatedFirst`, else from index count-1.
    void insertNewest(std::size_t count, bool newestCreatedFirst);
    void reserve(std::size_t count) { m_bars.reserve(count); }
    // Appends the bars of `oldestFirst` after the tail, in reverse order (its last bar first),
    // numbering them as appends in that order would.
    void appendReversed(KeisenList&& oldestFirst);

    // Destroys every bar; counter, aggregation keys and cursor start again.
    void reset();
    // Destroys every bar (the cursor goes back to the head).
    void deleteAll();
    // Clears the values of every bar; dates stay.
    void clearValues();

    // The bar with the date (case-insensitive text comparison), searched from the cursor:
    // from the tail towards the head when the cursor is at the head; otherwise from the bar
    // after the cursor to the tail, then from the cursor towards the head. The found bar
    // becomes the cursor. nullptr when absent.
    KeisenElm* findByDate(std::string_view date);
    // From the newest bar: the bar of the date; else the oldest bar still after the date
    // (the newer neighbour of the first bar older than it); nullptr when the date is after
    // every bar or older than every bar.
    KeisenElm* findAtOrAfter(std::string_view date);
    // The first bar from the newest whose year and month match; nullptr when none.
    KeisenElm* findByYearMonth(int year, int month);
    // 1-based position of the bar of the date counted from the oldest bar; 0 when absent.
    int positionOfDate(std::string_view date) const;
    // 1-based count of bars from `from` towards the newer side until `to` is met
    // (1 when they are the same bar); 0 when `to` is not on that side.
    int positionOfBar(const KeisenElm& from, const KeisenElm& to) const;
    // The largest volume of all bars, 0 for an empty list.
    std::int64_t largestVolume() const;

    // Bars created since the last reset.
    int idCounter() const { return m_counter; }

    // Aggregation state: the keys of the last year, month and week bar created.
    int lastYearKey = 0;
    int lastMonthKey = 0;
    int lastWeekKey = 0;

private:
    Bars m_bars;
    int m_counter = 0;
    std::ptrdiff_t m_cursor = -1; // index of the search cursor; -1 is the head
};

// The volume of a period that holds both: a sum that would pass the largest 64-bit value
// stays there (a wrapped sum would show a period below one of its days). Volumes are >= 0.
inline std::int64_t addVolume(std::int64_t total, std::int64_t volume) {
    std::int64_t sum = 0;
    return __builtin_add_overflow(total, volume, &sum) ? (volume < 0 ? INT64_MIN : INT64_MAX) : sum;
}

// Case-insensitive (ASCII) equality of two date texts.
bool sameDateText(std::string_view a, std::string_view b);

} // namespace tavora::market

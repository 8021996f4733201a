#include "market/Keisen.h"

#include "framework/Dates.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace tavora::market {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool sameDateText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

void KeisenElm::setDate(std::string_view text) {
    date.assign(text.substr(0, std::min(text.size(), kMaxDateText)));
    // Stored dates are almost always "YYYY-MM-DD": read those directly (this runs per row).
    const auto digit = [&](std::size_t i) { return static_cast<unsigned>(date[i] - '0') <= 9; };
    if (date.size() == 10 && date[4] == '-' && date[7] == '-' && digit(0) && digit(1) && digit(2) &&
        digit(3) && digit(5) && digit(6) && digit(8) && digit(9)) {
        const auto v = [&](std::size_t i) { return date[i] - '0'; };
        year = v(0) * 1000 + v(1) * 100 + v(2) * 10 + v(3);
        month = v(5) * 10 + v(6);
        day = v(8) * 10 + v(9);
        return;
    }
    const framework::YmdDate d = framework::splitDate(date);
    // Dates from files are checked before they become bars; this keeps a text that slipped
    // through from overflowing the date number (future period bars may pass year 9999).
    const bool packable = d.year >= 0 && d.year <= 99999 && d.month >= 0 && d.month <= 99 && d.day >= 0 &&
                          d.day <= 99;
    year = packable ? d.year : 0;
    month = packable ? d.month : 0;
    day = packable ? d.day : 0;
}

int KeisenElm::weekKey() const {
    return framework::weekKey(year, month, day);
}

std::string KeisenElm::priceText(const std::optional<double>& value) {
    if (!value)
        return {};
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, *value, std::chars_format::fixed, 2);
    if (res.ec != std::errc())
        return {};
    return std::string(buf, res.ptr);
}

void KeisenElm::combineSplit(std::string_view ratioText, double ratio) {
    if (split.empty()) {
        split.assign(ratioText.substr(0, std::min(ratioText.size(), kMaxSplitText)));
        return;
    }
    const double old = std::strtod(split.c_str(), nullptr);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", old / ratio);
    split.assign(buf, std::min(std::char_traits<char>::length(buf), kMaxSplitText));
}

bool KeisenElm::appendAnalysisLine(std::string_view line) {
    if (analysis.size() + line.size() > kMaxAnalysisText)
        return false;
    analysis.append(line);
    return true;
}

void KeisenElm::reset() {
    clearValues();
    date.clear();
    year = month = day = 0;
}

void KeisenElm::clearValues() {
    clearPrices();
    volume = 0;
    split.clear();
    analysis.clear();
    noData = 0;
}

KeisenElm* KeisenList::newerThan(const KeisenElm& bar) {
    const std::size_t i = indexOf(bar);
    return i == 0 ? nullptr : &m_bars[i - 1];
}

KeisenElm* KeisenList::olderThan(const KeisenElm& bar) {
    const std::size_t i = indexOf(bar);
    return i + 1 >= m_bars.size() ? nullptr : &m_bars[i + 1];
}

const KeisenElm* KeisenList::newerThan(const KeisenElm& bar) const {
    return const_cast<KeisenList*>(this)->newerThan(bar);
}

const KeisenElm* KeisenList::olderThan(const KeisenElm& bar) const {
    return const_cast<KeisenList*>(this)->olderThan(bar);
}

KeisenElm& KeisenList::append() {
    KeisenElm& bar = m_bars.emplace_back();
    bar.id = ++m_counter;
    return bar;
}

void KeisenList::appendReversed(KeisenList&& oldestFirst) {
    if (m_bars.empty()) {
        m_bars = std::move(oldestFirst.m_bars);
        std::reverse(m_bars.begin(), m_bars.end());
        for (auto& bar : m_bars)
            bar.id = ++m_counter;
    } else {
        m_bars.reserve(m_bars.size() + oldestFirst.size());
        for (auto it = oldestFirst.m_bars.rbegin(); it != oldestFirst.m_bars.rend(); ++it) {
            m_bars.push_back(std::move(*it));
            m_bars.back().id = ++m_counter;
        }
    }
    oldestFirst.reset();
}

KeisenElm& KeisenList::insertBefore(std::size_t index) {
    index = std::min(index, m_bars.size());
    auto it = m_bars.emplace(m_bars.begin() + static_cast<std::ptrdiff_t>(index));
    it->id = ++m_counter;
    if (m_cursor >= static_cast<std::ptrdiff_t>(index))
        ++m_cursor;
    return *it;
}

void KeisenList::insertNewest(std::size_t count, bool newestCreatedFirst) {
    if (count == 0)
        return;
    m_bars.insert(m_bars.begin(), count, KeisenElm{});
    for (std::size_t k = 0; k < count; ++k)
        m_bars[newestCreatedFirst ? k : count - 1 - k].id = ++m_counter;
    if (m_cursor >= 0)
        m_cursor += static_cast<std::ptrdiff_t>(count);
}

void KeisenList::reset() {
    deleteAll();
    m_counter = 0;
    lastYearKey = lastMonthKey = lastWeekKey = 0;
}

void KeisenList::deleteAll() {
    m_bars.clear();
    m_cursor = -1;
}

void KeisenList::clearValues() {
    for (auto& bar : m_bars)
        bar.clearValues();
}

KeisenElm* KeisenList::findByDate(std::string_view date) {
    const auto n = static_cast<std::ptrdiff_t>(m_bars.size());
    auto found = [&](std::ptrdiff_t i) {
        m_cursor = i;
        return &m_bars[static_cast<std::size_t>(i)];
    };
    if (m_cursor < 0 || m_cursor >= n) {
        for (std::ptrdiff_t i = n - 1; i >= 0; --i)
            if (sameDateText(m_bars[static_cast<std::size_t>(i)].date, date))
                return found(i);
        return nullptr;
    }
    for (std::ptrdiff_t i = m_cursor + 1; i < n; ++i)
        if (sameDateText(m_bars[static_cast<std::size_t>(i)].date, date))
            return found(i);
    for (std::ptrdiff_t i = m_cursor; i >= 0; --i)
        if (sameDateText(m_bars[static_cast<std::size_t>(i)].date, date))
            return found(i);
    return nullptr;
}

KeisenElm* KeisenList::findAtOrAfter(std::string_view date) {
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        const std::string_view barDate = m_bars[i].date;
        if (sameDateText(barDate, date))
            return &m_bars[i];
        if (barDate < date)
            return i == 0 ? nullptr : &m_bars[i - 1];
    }
    return nullptr;
}

KeisenElm* KeisenList::findByYearMonth(int year, int month) {
    for (auto& bar : m_bars)
        if (bar.year == year && bar.month == month)
            return &bar;
    return nullptr;
}

int KeisenList::positionOfDate(std::string_view date) const {
    const std::size_t n = m_bars.size();
    for (std::size_t k = 0; k < n; ++k)
        if (sameDateText(m_bars[n - 1 - k].date, date))
            return static_cast<int>(k + 1);
    return 0;
}

int KeisenList::positionOfBar(const KeisenElm& from, const KeisenElm& to) const {
    if (!contains(&from) || !contains(&to))
        return 0;
    const std::size_t a = indexOf(from);
    const std::size_t b = indexOf(to);
    return b <= a ? static_cast<int>(a - b + 1) : 0;
}

std::int64_t KeisenList::largestVolume() const {
    std::int64_t largest = 0;
    for (const auto& bar : m_bars)
        largest = std::max(largest, bar.volume);
    return largest;
}

} // namespace tavora::market

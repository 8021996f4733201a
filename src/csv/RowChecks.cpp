#include "csv/RowChecks.h"

namespace tavora::csv {

namespace {

constexpr const char* kKindTexts[kSkipKinds] = {"空行",       "列数の違い", "コード不正", "日付不正",
                                                "日付の範囲外", "数値不正",   "価格の矛盾", "重複日"};
constexpr const char* kKindNames[kSkipKinds] = {"blank",       "columns",       "bad code",
                                                "bad date",    "date out of range", "not a number",
                                                "contradictory prices", "duplicate day"};

std::string countsText(const SkipCounts& counts, const char* const (&names)[kSkipKinds]) {
    std::string text;
    for (std::size_t k = 0; k < kSkipKinds; ++k)
        if (counts.byKind[k] > 0)
            text += (text.empty() ? "" : ", ") + std::string(names[k]) + " " + std::to_string(counts.byKind[k]);
    return text;
}

bool present(const std::optional<double>& price) {
    return price && *price != 0;
}

std::string number(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

const char* skipKindText(SkipKind kind) {
    return kKindTexts[static_cast<std::size_t>(kind)];
}

const char* skipKindName(SkipKind kind) {
    return kKindNames[static_cast<std::size_t>(kind)];
}

std::size_t SkipCounts::total() const {
    std::size_t sum = 0;
    for (std::size_t n : byKind)
        sum += n;
    return sum;
}

SkipCounts& SkipCounts::operator+=(const SkipCounts& other) {
    for (std::size_t k = 0; k < kSkipKinds; ++k)
        byKind[k] += other.byKind[k];
    return *this;
}

std::string skipCountsText(const SkipCounts& counts) {
    return countsText(counts, kKindTexts);
}

std::string skipCountsNames(const SkipCounts& counts) {
    return countsText(counts, kKindNames);
}

std::optional<std::string> priceContradiction(const market::PriceRow& row, std::string* english) {
    auto said = [english](std::string ja, std::string en) {
        if (english)
            *english = std::move(en);
        return std::optional(std::move(ja));
    };
    struct Named {
        const char* ja;
        const char* en;
        const std::optional<double>* price;
    };
    const Named prices[] = {{"始値", "open", &row.open},
                            {"高値", "high", &row.high},
                            {"安値", "low", &row.low},
                            {"終値", "close", &row.close}};
    for (const auto& [ja, en, price] : prices)
        if (*price && **price < 0)
            return said(std::string(ja) + "が負です: " + number(**price),
                        std::string("the ") + en + " is negative: " + number(**price));
    const bool high = present(row.high);
    const bool low = present(row.low);
    if (high && low && *row.high < *row.low)
        return said("高値 " + number(*row.high) + " が安値 " + number(*row.low) + " より低いです",
                    "the high " + number(*row.high) + " is below the low " + number(*row.low));
    for (const auto& [ja, en, price] : {prices[0], prices[3]}) {
        if (!present(*price))
            continue;
        if ((low && **price < *row.low) || (high && **price > *row.high))
            return said(std::string(ja) + " " + number(**price) + " が安値から高値の外です",
                        std::string("the ") + en + " " + number(**price) + " lies outside low..high");
    }
    return std::nullopt;
}

bool dateOutOfRange(const std::string& date, const std::string& today) {
    return date < kEarliestDate || date > today;
}

std::optional<std::size_t> LastRowPerDay::add(std::vector<market::PriceRow>& rows, market::PriceRow row,
                                              std::size_t line) {
    std::string key;
    key.reserve(row.code.size() + 1 + row.date.size());
    key.append(row.code).append(1, '\x1f').append(row.date);
    auto [it, fresh] = m_kept.try_emplace(std::move(key), Kept{rows.size(), line});
    if (fresh) {
        rows.push_back(std::move(row));
        return std::nullopt;
    }
    const std::size_t replaced = it->second.line;
    rows[it->second.index] = std::move(row);
    it->second.line = line;
    return replaced;
}

} // namespace tavora::csv

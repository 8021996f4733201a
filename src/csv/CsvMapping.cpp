#include "csv/CsvMapping.h"

#include <charconv>

namespace tavora::csv {

namespace {

struct RowDefault {
    const char* caption;
    int column;
    const char* title;
    const char* role; // command-line name; null for rows that are shown only
};

// The KABU+ daily all-stock layout: "SC,名称,市場,業種,日時,株価,前日比,前日比（％）,前日終値,
// 始値,高値,安値,VWAP,出来高,...".
constexpr RowDefault kRows[kMappingRows] = {
    {"コード", 1, "SC", "code"},        {"銘柄名", 2, "名称", nullptr}, {"市場", 3, "市場", nullptr},
    {"業種", 4, "業種", nullptr},       {"日付け", 5, "日付", "date"},  {"始値", 10, "始値", "open"},
    {"高値", 11, "高値", "high"},       {"安値", 12, "安値", "low"},    {"終値", 6, "株価", "close"},
    {"出来高", 14, "出来高", "volume"},
};

constexpr const char* kColumnSuffix = "列目";
constexpr const char* kLineSuffix = "行目";

// N for "N<suffix>" with N in 1..max, else 0.
int numberBefore(std::string_view text, std::string_view suffix, int max) {
    if (text.size() <= suffix.size() || text.substr(text.size() - suffix.size()) != suffix)
        return 0;
    const std::string_view digits = text.substr(0, text.size() - suffix.size());
    int value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value < 1 || value > max)
        return 0;
    return value;
}

std::string indexedKey(const char* prefix, int row) {
    return prefix + std::to_string(row);
}

} // namespace

CsvMapping::CsvMapping() {
    for (int r = 0; r < kMappingRows; ++r)
        rows[static_cast<std::size_t>(r)] = {kRows[r].column, kRows[r].title};
}

std::optional<char> CsvMapping::quoteChar() const {
    switch (quote) {
    case CsvQuote::Double:
        return '"';
    case CsvQuote::Single:
        return '\'';
    case CsvQuote::None:
        break;
    }
    return std::nullopt;
}

const char* mappingRowCaption(int row) {
    return row >= 0 && row < kMappingRows ? kRows[row].caption : "";
}

std::optional<MappingRow> mappingRowOfRole(std::string_view role) {
    for (int r = 0; r < kMappingRows; ++r)
        if (kRows[r].role && role == kRows[r].role)
            return static_cast<MappingRow>(r);
    return std::nullopt;
}

const char* roleName(MappingRow row) {
    const char* role = kRows[row].role;
    return role ? role : kRows[row].caption;
}

std::string columnBoxText(int column) {
    return column > 0 ? std::to_string(column) + kColumnSuffix : std::string();
}

int columnFromBoxText(std::string_view text) {
    return numberBefore(text, kColumnSuffix, kMaxColumnChoice);
}

std::string dataStartText(int line) {
    return std::to_string(line) + kLineSuffix;
}

const char* separatorText(CsvSeparator separator) {
    return separator == CsvSeparator::Tab ? "タブ" : "カンマ";
}

const char* matchByText(CsvMatchBy matchBy) {
    return matchBy == CsvMatchBy::Titles ? "title" : "retsu";
}

const char* encodingText(framework::CsvEncoding encoding) {
    switch (encoding) {
    case framework::CsvEncoding::Utf16:
        return "UTF-16";
    case framework::CsvEncoding::Utf8:
        return "UTF-8";
    case framework::CsvEncoding::ShiftJis:
        break;
    }
    return "Shift-JIS";
}

const char* quoteText(CsvQuote quote) {
    switch (quote) {
    case CsvQuote::Double:
        return "\"";
    case CsvQuote::Single:
        return "'";
    case CsvQuote::None:
        break;
    }
    return "なし";
}

std::optional<CsvQuote> quoteFromText(std::string_view text) {
    for (CsvQuote q : {CsvQuote::None, CsvQuote::Double, CsvQuote::Single})
        if (text == quoteText(q))
            return q;
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> mappingKeyValues(const CsvMapping& m) {
    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back("DT_kugirimoji", separatorText(m.separator));
    rows.emplace_back("DT_taiouretsu", matchByText(m.matchBy));
    for (int r = 0; r < kMappingRows; ++r) {
        const MappingSlot& slot = m.rows[static_cast<std::size_t>(r)];
        rows.emplace_back(indexedKey("DT_retsu_cb_", r), columnBoxText(slot.column));
        rows.emplace_back(indexedKey("DT_retsu_ed_", r), slot.title);
    }
    rows.emplace_back("DT_data_start", dataStartText(m.dataStart));
    rows.emplace_back("DT_mojicode", encodingText(m.encoding));
    rows.emplace_back("DT_kakoi", quoteText(m.quote));
    rows.emplace_back("DT_zero", m.zeroText);
    rows.emplace_back("DT_code_shitei", m.codeGiven ? "1" : "0");
    rows.emplace_back("DT_code_shitei_ed", m.givenCode);
    return rows;
}

CsvMapping mappingFromStored(const std::map<std::string, std::string>& stored) {
    CsvMapping m;
    auto find = [&](const std::string& key) -> const std::string* {
        auto it = stored.find(key);
        return it == stored.end() ? nullptr : &it->second;
    };
    if (const auto* v = find("DT_kugirimoji")) {
        if (*v == separatorText(CsvSeparator::Tab))
            m.separator = CsvSeparator::Tab;
        else if (*v == separatorText(CsvSeparator::Comma))
            m.separator = CsvSeparator::Comma;
    }
    if (const auto* v = find("DT_taiouretsu")) {
        if (*v == matchByText(CsvMatchBy::Titles))
            m.matchBy = CsvMatchBy::Titles;
        else if (*v == matchByText(CsvMatchBy::Columns))
            m.matchBy = CsvMatchBy::Columns;
    }
    for (int r = 0; r < kMappingRows; ++r) {
        MappingSlot& slot = m.rows[static_cast<std::size_t>(r)];
        if (const auto* v = find(indexedKey("DT_retsu_cb_", r)))
            slot.column = columnFromBoxText(*v); // a text the box does not offer means no column
        if (const auto* v = find(indexedKey("DT_retsu_ed_", r)))
            slot.title = *v;
    }
    if (const auto* v = find("DT_data_start"))
        if (int line = numberBefore(*v, kLineSuffix, 3); line > 0)
            m.dataStart = line;
    if (const auto* v = find("DT_mojicode"))
        for (auto e :
             {framework::CsvEncoding::Utf16, framework::CsvEncoding::Utf8, framework::CsvEncoding::ShiftJis})
            if (*v == encodingText(e))
                m.encoding = e;
    if (const auto* v = find("DT_kakoi"))
        if (auto q = quoteFromText(*v))
            m.quote = *q;
    if (const auto* v = find("DT_zero"))
        m.zeroText = *v;
    if (const auto* v = find("DT_code_shitei"))
        m.codeGiven = *v == "1";
    if (const auto* v = find("DT_code_shitei_ed"))
        m.givenCode = *v;
    return m;
}

} // namespace tavora::csv

#include "csv/PriceCsvParser.h"

#include "csv/CsvDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavora::csv {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "1,234,567.5" -> "1234567.5" when every comma groups three digits; the text unchanged when it
// has no comma; empty when its commas do not group digits.
std::optional<std::string> withoutGrouping(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t digitsSinceComma = 0;
    bool sawComma = false;
    bool inFraction = false;
    for (char c : s) {
        if (c == ',') {
            if (inFraction || (sawComma && digitsSinceComma != 3) || digitsSinceComma == 0 ||
                (!sawComma && digitsSinceComma > 3))
                return std::nullopt;
            sawComma = true;
            digitsSinceComma = 0;
            continue;
        }
        if (c >= '0' && c <= '9')
            ++digitsSinceComma;
        else if (c == '.') {
            if (sawComma && digitsSinceComma != 3)
                return std::nullopt;
            inFraction = true;
            sawComma = false;
        }
        out += c;
    }
    if (sawComma && digitsSinceComma != 3)
        return std::nullopt;
    return out;
}

std::optional<double> readDecimal(std::string_view s) {
    std::string grouped;
    if (s.find(',') != std::string_view::npos) {
        auto plain = withoutGrouping(s);
        if (!plain)
            return std::nullopt;
        grouped = std::move(*plain);
        s = grouped;
    }
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isZeroCell(std::string_view cell, const CsvMapping& mapping) {
    return cell.empty() || (!mapping.zeroText.empty() && cell == mapping.zeroText);
}

// Where a title stands in the header: the first cell equal to it, 1-based; 0 when absent.
int titleColumn(const std::vector<std::string>& header, const std::string& title) {
    const std::string_view wanted = trimBlanks(title);
    for (std::size_t i = 0; i < header.size(); ++i)
        if (trimBlanks(header[i]) == wanted)
            return static_cast<int>(i) + 1;
    return 0;
}

const char* usedRowCaption(std::size_t used) {
    return mappingRowCaption(kUsedRows[used]);
}

class RowMapper {
public:
    RowMapper(const CsvMapping& mapping, const ResolvedColumns& columns, PriceCsvFile& out)
        : m_mapping(mapping), m_columns(columns.columns), m_out(out) {}

    void map(const std::vector<std::string>& cells, std::size_t line) {
        if (cells.size() == 1 && trimBlanks(cells[0]).empty())
            return skip(line, "空行です");
        std::array<std::string_view, kUsedRows.size()> value{};
        for (std::size_t k = 0; k < m_columns.size(); ++k) {
            const int column = m_columns[k];
            if (column == 0)
                continue;
            if (static_cast<std::size_t>(column) > cells.size())
                return skip(line, std::to_string(column) + "列目(" + usedRowCaption(k) + ")がありません");
            value[k] = trimBlanks(cells[static_cast<std::size_t>(column) - 1]);
        }
        market::PriceRow row;
        if (value[0].empty())
            return skip(line, "コードが空です");
        row.code.assign(value[0]);
        auto date = normalizeCsvDate(value[1]);
        if (!date)
            return skip(line, "日付ではありません: " + std::string(value[1]));
        row.date = std::move(*date);
        std::optional<double>* prices[] = {&row.open, &row.high, &row.low, &row.close};
        for (std::size_t p = 0; p < 4; ++p) {
            if (m_columns[2 + p] == 0)
                continue; // not mapped: no price
            auto price = readPriceCell(value[2 + p], m_mapping);
            if (!price)
                return skip(line, std::string(usedRowCaption(2 + p)) +
                                      "が数値ではありません: " + std::string(value[2 + p]));
            *prices[p] = *price;
        }
        if (m_columns[6] != 0) {
            auto volume = readVolumeCell(value[6], m_mapping);
            if (!volume)
                return skip(line, "出来高が株数ではありません: " + std::string(value[6]));
            row.volume = *volume;
        }
        m_out.rows.push_back(std::move(row));
    }

    void skip(std::size_t line, std::string reason) {
        ++m_out.skipped;
        if (m_out.skips.size() < kKeptSkipReasons)
            m_out.skips.push_back({line, std::move(reason)});
    }

private:
    const CsvMapping& m_mapping;
    const std::array<int, kUsedRows.size()>& m_columns;
    PriceCsvFile& m_out;
};

} // namespace

std::optional<double> readPriceCell(std::string_view cell, const CsvMapping& mapping) {
    cell = trimBlanks(cell);
    if (isZeroCell(cell, mapping))
        return 0.0;
    return readDecimal(cell);
}

std::optional<std::int64_t> readVolumeCell(std::string_view cell, const CsvMapping& mapping) {
    cell = trimBlanks(cell);
    if (isZeroCell(cell, mapping))
        return 0;
    if (!cell.empty() && cell.front() == '+')
        cell.remove_prefix(1);
    std::int64_t count = 0;
    auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), count);
    if (ec == std::errc() && end == cell.data() + cell.size())
        return count >= 0 ? std::optional<std::int64_t>(count) : std::nullopt;
    // "1,234,567" or "1234567.0": a whole number written as a decimal.
    auto value = readDecimal(cell);
    if (!value || *value < 0 || *value != std::floor(*value) || *value >= 9.2e18)
        return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

ResolvedColumns resolveColumns(const CsvMapping& mapping, const std::vector<std::string>* header) {
    ResolvedColumns resolved;
    for (std::size_t k = 0; k < kUsedRows.size(); ++k) {
        const MappingSlot& slot = mapping.slots[static_cast<std::size_t>(kUsedRows[k])];
        if (mapping.matchBy == CsvMatchBy::Columns) {
            resolved.columns[k] = std::max(slot.column, 0);
            continue;
        }
        if (trimBlanks(slot.title).empty())
            continue;
        const int column = header ? titleColumn(*header, slot.title) : 0;
        if (column == 0) {
            resolved.error =
                "見出し行にタイトル「" + slot.title + "」(" + usedRowCaption(k) + ")がありません";
            return resolved;
        }
        resolved.columns[k] = column;
    }
    // Without a code and a date no row can be stored.
    for (std::size_t k : {std::size_t{0}, std::size_t{1}})
        if (resolved.columns[k] == 0) {
            resolved.error = std::string(usedRowCaption(k)) + "の列が指定されていません";
            return resolved;
        }
    return resolved;
}

PriceCsvFile mapPriceRows(const framework::ZStringListX& rows, const CsvMapping& mapping) {
    PriceCsvFile out;
    const ResolvedColumns columns = resolveColumns(mapping, rows.empty() ? nullptr : &rows.front());
    if (!columns.error.empty()) {
        out.error = columns.error;
        return out;
    }
    const std::size_t first = static_cast<std::size_t>(std::clamp(mapping.dataStart, 1, 3)) - 1;
    out.rows.reserve(rows.size() > first ? rows.size() - first : 0);
    RowMapper mapper(mapping, columns, out);
    for (std::size_t i = first; i < rows.size(); ++i)
        mapper.map(rows[i], i + 1);
    return out;
}

PriceCsvFile parsePriceCsv(std::string_view bytes, const CsvMapping& mapping) {
    const auto csv =
        framework::ParseCsvBytes(bytes, mapping.encoding, mapping.separatorChar(), mapping.quoteChar());
    if (!csv.ok()) {
        PriceCsvFile out;
        out.error = csv.error;
        return out;
    }
    return mapPriceRows(csv.rows, mapping);
}

PriceCsvFile readPriceCsv(const std::filesystem::path& path, const CsvMapping& mapping) {
    const auto csv =
        framework::ReadCsvFileInfo(path, mapping.encoding, mapping.separatorChar(), mapping.quoteChar());
    if (!csv.ok()) {
        // The caller names the file; the reason alone is kept.
        PriceCsvFile out;
        const std::string prefix = path.string() + ": ";
        out.error = csv.error.starts_with(prefix) ? csv.error.substr(prefix.size()) : csv.error;
        return out;
    }
    return mapPriceRows(csv.rows, mapping);
}

} // namespace tavora::csv

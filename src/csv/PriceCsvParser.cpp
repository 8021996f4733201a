#include "csv/PriceCsvParser.h"

#include "csv/CsvDate.h"
#include "framework/Dates.h"
#include "framework/TextTrim.h"
#include "market/StockCode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>

namespace tavora::csv {

namespace {

using framework::trimBlanks;

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

// The used rows' names in tavora-cli's English (its --column roles).
constexpr const char* kUsedRoleNames[] = {"code", "date", "open", "high", "low", "close", "volume"};
static_assert(std::size(kUsedRoleNames) == kUsedRows.size());

class RowMapper {
public:
    RowMapper(const CsvMapping& mapping, const ResolvedColumns& columns, std::size_t firstLineCells,
              std::string today, PriceCsvFile& out)
        : m_mapping(mapping), m_columns(columns.columns), m_givenCode(columns.givenCode),
          m_firstLineCells(firstLineCells), m_today(std::move(today)), m_out(out) {}

    void map(std::span<const std::string_view> cells, std::size_t line) {
        if (cells.size() == 1 && trimBlanks(cells[0]).empty())
            return skip(line, SkipKind::Blank, "空行です", "a blank line");
        // Cells beyond those of the first line mean a cell was split (an unquoted "1,234"):
        // the mapped cells may have moved. Empty ones (a trailing separator) move nothing.
        if (cells.size() > m_firstLineCells) {
            const bool extraText = std::any_of(cells.begin() + static_cast<long>(m_firstLineCells), cells.end(),
                                               [](std::string_view c) { return !trimBlanks(c).empty(); });
            if (extraText)
                return skip(line, SkipKind::Columns,
                            std::to_string(cells.size()) + "列あります（1行目は" +
                                std::to_string(m_firstLineCells) + "列）",
                            std::to_string(cells.size()) + " cells where the first line has " +
                                std::to_string(m_firstLineCells));
        }
        std::array<std::string_view, kUsedRows.size()> value{};
        for (std::size_t k = 0; k < m_columns.size(); ++k) {
            const int column = m_columns[k];
            if (column == 0)
                continue;
            if (static_cast<std::size_t>(column) > cells.size())
                return skip(line, SkipKind::Columns,
                            std::to_string(column) + "列目(" + usedRowCaption(k) + ")がありません",
                            "no column " + std::to_string(column) + " (" + kUsedRoleNames[k] + ")");
            value[k] = trimBlanks(cells[static_cast<std::size_t>(column) - 1]);
        }
        market::PriceRow row;
        if (!m_givenCode.empty()) {
            row.code = m_givenCode;
        } else {
            if (value[0].empty())
                return skip(line, SkipKind::Code, "コードが空です", "an empty code");
            // The rows of a code share its cell text often enough (a file of one code) to fold once.
            if (!m_codeKnown || value[0] != m_codeCell) {
                m_codeCell.assign(value[0]);
                m_code = market::foldStockCode(value[0]);
                m_codeKnown = true;
            }
            if (!m_code.ok())
                return skip(line, SkipKind::Code,
                            std::string(market::codeProblemText(m_code.problem)) + ": " + printable(value[0]),
                            "cannot be a code: " + printable(value[0]));
            row.code = m_code.code;
        }
        // The rows of a day file share one date cell: it is read once.
        if (!m_dateKnown || value[1] != m_dateCell) {
            m_dateCell.assign(value[1]);
            m_date = normalizeCsvDate(value[1]);
            m_dateKnown = true;
        }
        if (!m_date)
            return skip(line, SkipKind::Date, "日付ではありません: " + std::string(value[1]),
                        "not a date: " + std::string(value[1]));
        if (dateOutOfRange(*m_date, m_today))
            return skip(line, SkipKind::DateRange,
                        "日付が1900年より前か今日より後です: " + std::string(value[1]),
                        "a date before 1900 or after today: " + std::string(value[1]));
        row.date = *m_date;
        std::optional<double>* prices[] = {&row.open, &row.high, &row.low, &row.close};
        for (std::size_t p = 0; p < 4; ++p) {
            if (m_columns[2 + p] == 0)
                continue; // not mapped: no price
            auto price = readPriceCell(value[2 + p], m_mapping);
            if (!price)
                return skip(line, SkipKind::Number,
                            std::string(usedRowCaption(2 + p)) +
                                "が数値ではありません: " + std::string(value[2 + p]),
                            std::string("the ") + kUsedRoleNames[2 + p] +
                                " is not a number: " + std::string(value[2 + p]));
            *prices[p] = *price;
        }
        if (m_columns[6] != 0) {
            auto volume = readVolumeCell(value[6], m_mapping);
            if (!volume)
                return skip(line, SkipKind::Number, "出来高が株数ではありません: " + std::string(value[6]),
                            "the volume is not a share count: " + std::string(value[6]));
            row.volume = *volume;
        }
        if (std::string whyEnglish; auto why = priceContradiction(row, &whyEnglish))
            return skip(line, SkipKind::Contradiction, *why, whyEnglish);
        const std::string code = row.code;
        const std::string date = row.date;
        if (auto replaced = m_days.add(m_out.rows, std::move(row), line))
            skip(*replaced, SkipKind::Duplicate,
                 code + " " + date + " は" + std::to_string(line) + "行目にもあり、" + std::to_string(line) +
                     "行目を登録します",
                 code + " " + date + " comes again on line " + std::to_string(line) + ", which is stored");
    }

    void skip(std::size_t line, SkipKind kind, std::string reason, std::string reasonEnglish) {
        ++m_out.skipped;
        ++m_out.skipCounts[kind];
        if (m_out.skips.size() < kKeptSkipReasons)
            m_out.skips.push_back({line, std::move(reason), kind, std::move(reasonEnglish)});
    }

private:
    // A cell for a message: control characters shown as "?" and a long cell cut.
    static std::string printable(std::string_view cell) {
        std::string text(cell.substr(0, 40));
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = '?';
        return cell.size() > 40 ? text + "…" : text;
    }

    const CsvMapping& m_mapping;
    const std::array<int, kUsedRows.size()>& m_columns;
    const std::string m_givenCode;
    const std::size_t m_firstLineCells;
    const std::string m_today;
    PriceCsvFile& m_out;
    bool m_codeKnown = false;
    std::string m_codeCell;
    market::StockCode m_code;
    bool m_dateKnown = false;
    std::string m_dateCell;
    std::optional<std::string> m_date;
    LastRowPerDay m_days;
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
    if (mapping.codeGiven) {
        const market::StockCode code = market::foldStockCode(mapping.givenCode);
        if (!code.ok()) {
            resolved.error = std::string(kGivenCodeChoice) + "のコードが使えません: " +
                             market::codeProblemText(code.problem);
            resolved.errorEnglish = "the given code cannot be a code";
            return resolved;
        }
        resolved.givenCode = code.code;
    }
    const std::string choice = std::string("（ファイルにコードの列がないときは、コードに「") + kGivenCodeChoice +
                               "」を選んでコードを入れてください）";
    const std::string choiceEnglish = std::string(" (for a file without a code column choose 「") +
                                      kGivenCodeChoice + "」 and give the code)";
    for (std::size_t k = 0; k < kUsedRows.size(); ++k) {
        if (k == 0 && mapping.codeGiven)
            continue;
        const MappingSlot& slot = mapping.rows[static_cast<std::size_t>(kUsedRows[k])];
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
            resolved.errorEnglish =
                "the header line has no title 「" + slot.title + "」 (" + kUsedRoleNames[k] + ")";
            if (k == 0) {
                resolved.error += choice;
                resolved.errorEnglish += choiceEnglish;
                resolved.missingCode = true;
            }
            return resolved;
        }
        resolved.columns[k] = column;
    }
    // Without a code and a date no row can be stored.
    if (resolved.columns[0] == 0 && !mapping.codeGiven) {
        resolved.error = std::string(usedRowCaption(0)) + "の列が指定されていません" + choice;
        resolved.errorEnglish = "no column is given for the code" + choiceEnglish;
        resolved.missingCode = true;
        return resolved;
    }
    if (resolved.columns[1] == 0) {
        resolved.error = std::string(usedRowCaption(1)) + "の列が指定されていません";
        resolved.errorEnglish = "no column is given for the date";
    }
    return resolved;
}

namespace {

// Maps rows as the reader visits them: the first row is the header the titles are looked up
// in, the rows from the data start line on become price rows.
class FileMapper {
public:
    FileMapper(const CsvMapping& mapping, const std::string& today)
        : m_mapping(mapping), m_first(static_cast<std::size_t>(std::clamp(mapping.dataStart, 1, 3))),
          m_today(today.empty() ? framework::todayDate() : today) {}

    bool row(std::span<const std::string_view> cells, std::size_t number) {
        if (number == 1)
            resolve(&cells);
        if (!m_out.error.empty())
            return false;
        if (number >= m_first)
            m_mapper->map(cells, number);
        return true;
    }

    PriceCsvFile finish(std::string readError) {
        if (!m_mapper && readError.empty())
            resolve(nullptr); // an empty file: the mapping still decides what is wrong with it
        if (!readError.empty()) {
            m_out.errorEnglish = readError; // the reader's reasons are English
            m_out.error = std::move(readError);
        }
        if (!m_out.error.empty()) {
            m_out.rows.clear();
            m_out.rows.shrink_to_fit();
        }
        return std::move(m_out);
    }

private:
    void resolve(const std::span<const std::string_view>* cells) {
        std::vector<std::string> header;
        if (cells)
            header.assign(cells->begin(), cells->end());
        m_columns = resolveColumns(m_mapping, cells ? &header : nullptr);
        m_out.error = m_columns.error;
        m_out.errorEnglish = m_columns.errorEnglish;
        m_out.missingCode = m_columns.missingCode;
        // A header line says how many cells a line has; a first line of data, or one of a
        // single cell (a blank line, a title above the table), says nothing.
        const bool isHeader = m_first > 1 && header.size() >= 2;
        m_mapper.emplace(m_mapping, m_columns, isHeader ? header.size() : SIZE_MAX, m_today, m_out);
    }

    const CsvMapping& m_mapping;
    const std::size_t m_first;
    const std::string m_today;
    ResolvedColumns m_columns;
    PriceCsvFile m_out;
    std::optional<RowMapper> m_mapper;
};

} // namespace

PriceCsvFile mapPriceRows(const framework::ZStringListX& rows, const CsvMapping& mapping,
                          const std::string& today) {
    FileMapper mapper(mapping, today);
    std::vector<std::string_view> cells;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        cells.assign(rows[i].begin(), rows[i].end());
        if (!mapper.row(cells, i + 1))
            break;
    }
    return mapper.finish({});
}

PriceCsvFile parsePriceCsv(std::string_view bytes, const CsvMapping& mapping, const std::string& today) {
    FileMapper mapper(mapping, today);
    std::string error = framework::VisitCsvBytes(
        bytes, mapping.encoding, mapping.separatorChar(), mapping.quoteChar(),
        [&](std::span<const std::string_view> cells, std::size_t row) { return mapper.row(cells, row); });
    return mapper.finish(std::move(error));
}

PriceCsvFile readPriceCsv(const std::filesystem::path& path, const CsvMapping& mapping,
                          const std::string& today) {
    FileMapper mapper(mapping, today);
    std::string error = framework::VisitCsvFile(
        path, mapping.encoding, mapping.separatorChar(), mapping.quoteChar(),
        [&](std::span<const std::string_view> cells, std::size_t row) { return mapper.row(cells, row); });
    // The caller names the file; the reason alone is kept.
    const std::string prefix = path.string() + ": ";
    if (error.starts_with(prefix))
        error.erase(0, prefix.size());
    return mapper.finish(std::move(error));
}

} // namespace tavora::csv

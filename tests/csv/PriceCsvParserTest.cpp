#include "csv/PriceCsvParser.h"
#include "framework/Encoding.h"
#include "support/KabuPlusFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

using namespace tavora;
using csv::CsvMapping;
using csv::CsvMatchBy;
using csv::CsvQuote;
using csv::CsvSeparator;
using framework::CsvEncoding;
using market::PriceRow;

namespace {

// UTF-8 -> UTF-16 with a byte-order mark (characters of the basic plane only).
std::string utf16(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned c = static_cast<unsigned char>(utf8[i]);
        unsigned cp;
        if (c < 0x80) {
            cp = c;
            i += 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
            i += 2;
        } else {
            cp = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
            i += 3;
        }
        const char hi = static_cast<char>(cp >> 8), lo = static_cast<char>(cp & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

PriceRow row(std::string code, std::string date, double o, double h, double l, double c, std::int64_t v) {
    return {std::move(code), std::move(date), o, h, l, c, v};
}

// A small file in the default (KABU+) column layout.
const std::string kKabuPlusText =
    std::string(test::kKabuPlusHeader) +
    "\r\n"
    "1301,極洋,東証プライム,水産・農林業,2026/01/05 15:00,3850,+25,+0.65,3825,3830,3865,"
    "3820,3845.5,45600,0.5,175.3,41500,3125,4525,2025/12/01,4000,-3.75,2025/04/07,3200,"
    "20.31\r\n"
    "1305,ダイワ上場投信,東証ETF,その他,2026/01/05 15:00,-,-,-,-,-,-,-,-,-,-,-,-,-,-,-,-,"
    "-,-,-,-\r\n";
const std::vector<PriceRow> kKabuPlusRows = {row("1301", "2026-01-05", 3830, 3865, 3820, 3850, 45600),
                                             row("1305", "2026-01-05", 0, 0, 0, 0, 0)};

// Seven columns in the order code, date, open, high, low, close, volume.
CsvMapping plainMapping() {
    CsvMapping m;
    m.encoding = CsvEncoding::Utf8;
    const int columns[] = {1, 2, 3, 4, 5, 6, 7};
    for (std::size_t k = 0; k < csv::kUsedRows.size(); ++k)
        m.rows[csv::kUsedRows[k]].column = columns[k];
    m.dataStart = 1;
    return m;
}

struct MappingCase {
    MappingCase(const char* n, std::function<void(CsvMapping&)> a, std::string b, std::vector<PriceRow> r,
                std::size_t s = 0, std::string e = {})
        : name(n), adjust(std::move(a)), bytes(std::move(b)), rows(std::move(r)), skipped(s),
          error(std::move(e)) {}
    const char* name;
    std::function<void(CsvMapping&)> adjust; // applied to plainMapping()
    std::string bytes;
    std::vector<PriceRow> rows;
    std::size_t skipped;
    std::string error; // part of the refusal; empty when the file is accepted
};

std::vector<MappingCase> mappingCases() {
    const std::string plain = "7203,2026-01-05,100,110,90,105,1000\n";
    return {
        {"kabuplus defaults, Shift-JIS", [](CsvMapping& m) { m = CsvMapping(); },
         framework::ConvUTFtoSJIS(kKabuPlusText).text, kKabuPlusRows},
        {"kabuplus by titles",
         [](CsvMapping& m) {
             m = CsvMapping();
             m.matchBy = CsvMatchBy::Titles;
             m.rows[csv::RowDate].title = "日時";
         },
         framework::ConvUTFtoSJIS(kKabuPlusText).text, kKabuPlusRows},
        {"UTF-8 with a byte-order mark",
         [](CsvMapping& m) {
             m = CsvMapping();
             m.encoding = CsvEncoding::Utf8;
         },
         "\xEF\xBB\xBF" + kKabuPlusText, kKabuPlusRows},
        {"UTF-16 little-endian",
         [](CsvMapping& m) {
             m = CsvMapping();
             m.encoding = CsvEncoding::Utf16;
         },
         utf16(kKabuPlusText, false), kKabuPlusRows},
        {"UTF-16 big-endian",
         [](CsvMapping& m) {
             m = CsvMapping();
             m.encoding = CsvEncoding::Utf16;
         },
         utf16(kKabuPlusText, true), kKabuPlusRows},
        {"Shift-JIS bytes read as UTF-8 are refused",
         [](CsvMapping& m) {
             m = CsvMapping();
             m.encoding = CsvEncoding::Utf8;
         },
         framework::ConvUTFtoSJIS(kKabuPlusText).text,
         {},
         0,
         "UTF-8"},
        {"titles in any order",
         [](CsvMapping& m) {
             m.matchBy = CsvMatchBy::Titles;
             const char* titles[] = {"Code", "Date", "Open", "High", "Low", "Close", "Volume"};
             for (std::size_t k = 0; k < csv::kUsedRows.size(); ++k)
                 m.rows[csv::kUsedRows[k]].title = titles[k];
             m.dataStart = 2;
         },
         "Volume,Close,Name,Low,High,Open,Date,Code\n5000,105,トヨタ,90,110,100,2026/1/5,7203\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 5000)}},
        {"a title missing from the header refuses the file",
         [](CsvMapping& m) {
             m.matchBy = CsvMatchBy::Titles;
             const char* titles[] = {"Code", "Date", "Open", "High", "Low", "Close", "出来高"};
             for (std::size_t k = 0; k < csv::kUsedRows.size(); ++k)
                 m.rows[csv::kUsedRows[k]].title = titles[k];
             m.dataStart = 2;
         },
         "Code,Date,Open,High,Low,Close,Volume\n7203,2026-01-05,100,110,90,105,1000\n",
         {},
         0,
         "「出来高」"},
        {"tab separated",
         [](CsvMapping& m) { m.separator = CsvSeparator::Tab; },
         "7203\t2026-01-05\t100\t110\t90\t105\t1000\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)}},
        {"double quotes keep separators inside a cell",
         [](CsvMapping& m) { m.quote = CsvQuote::Double; },
         "\"7203\",\"2026/1/5\",\"1,000.5\",\"1,100\",900,1050,\"3,797,444,701\"\n",
         {row("7203", "2026-01-05", 1000.5, 1100, 900, 1050, 3797444701)}},
        {"single quotes",
         [](CsvMapping& m) { m.quote = CsvQuote::Single; },
         "'7203','2026-01-05','100',110,90,105,'1,000'\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)}},
        {"no quote handling leaves quotes in the cells",
         [](CsvMapping& m) { m.quote = CsvQuote::None; },
         "7203,2026-01-05,\"100\",110,90,105,1000\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         1},
        {"the zero text and empty cells read as 0",
         [](CsvMapping& m) { m.zeroText = "--"; },
         "7203,2026-01-05,--,,90,105,--\n",
         {row("7203", "2026-01-05", 0, 0, 90, 105, 0)}},
        {"without a zero text a dash is not a number",
         [](CsvMapping& m) { m.zeroText.clear(); },
         "7203,2026-01-05,-,110,90,105,1000\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         1},
        {"a short row is skipped, not shifted",
         [](CsvMapping&) {},
         "7203,2026-01-05,100,110,90,105\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         1},
        {"empty code, bad date, bad price, bad volume, blank line are skipped",
         [](CsvMapping&) {},
         ",2026-01-05,100,110,90,105,1000\n7203,2026-02-30,100,110,90,105,1000\n7203,2026-01-05,abc,110,90,"
         "105,"
         "1000\n7203,2026-01-05,100,110,90,105,1.5\n\n" +
             plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         5},
        {"volumes above 2^31",
         [](CsvMapping&) {},
         "0001,2008-01-07,15030.96,15093.96,14711.28,14786.39,3797444701\n",
         {row("0001", "2008-01-07", 15030.96, 15093.96, 14711.28, 14786.39, 3797444701)}},
        {"data from line 3",
         [](CsvMapping& m) { m.dataStart = 3; },
         "title\nunits\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)}},
        {"an unmapped price is absent",
         [](CsvMapping& m) { m.rows[csv::RowOpen].column = 0; },
         plain,
         {{"7203", "2026-01-05", std::nullopt, 110, 90, 105, 1000}}},
        {"an unmapped code refuses the file and names the given-code choice",
         [](CsvMapping& m) { m.rows[csv::RowCode].column = 0; },
         plain,
         {},
         0,
         "「ファイルにない: 指定コード」"},
        {"an unquoted thousands separator adds a cell: the row is skipped, not shifted",
         [](CsvMapping& m) { m.dataStart = 2; },
         "Code,Date,Open,High,Low,Close,Volume\n" + plain + "7203,2026-01-06,1,234,1300,1200,1250,1000\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         1},
        {"an empty cell after the last one shifts nothing",
         [](CsvMapping& m) { m.dataStart = 2; },
         "Code,Date,Open,High,Low,Close,Volume\n" + plain + "7203,2026-01-06,100,110,90,105,1000,\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000), row("7203", "2026-01-06", 100, 110, 90, 105, 1000)}},
        {"prices that contradict each other are skipped",
         [](CsvMapping&) {},
         "7203,2026-01-06,100,90,110,100,1\n"   // high below low
         "7203,2026-01-07,120,110,90,100,1\n"   // open above high
         "7203,2026-01-08,100,110,90,80,1\n"    // close below low
         "7203,2026-01-09,100,110,90,-105,1\n" + // negative
             plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         4},
        {"days before 1900 or after today are skipped",
         [](CsvMapping&) {},
         "7203,1899-12-31,100,110,90,105,1000\n7203,2999-01-05,100,110,90,105,1000\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         2},
        {"of two rows of one code and day the last is kept",
         [](CsvMapping&) {},
         plain + "7204,2026-01-05,1,1,1,1,1\n7203,2026-01-05,101,111,91,106,2000\n",
         {row("7203", "2026-01-05", 101, 111, 91, 106, 2000), row("7204", "2026-01-05", 1, 1, 1, 1, 1)},
         1},
        {"codes are folded to the catalogue's form",
         [](CsvMapping&) {},
         "１００３,2026-01-05,100,110,90,105,1000\ndji,2026-01-05,100,110,90,105,1000\n",
         {row("1003", "2026-01-05", 100, 110, 90, 105, 1000), row("DJI", "2026-01-05", 100, 110, 90, 105, 1000)}},
        {"codes that could never be shown are skipped",
         [](CsvMapping& m) { m.quote = CsvQuote::Double; },
         "10/03,2026-01-05,100,110,90,105,1000\n\"10\n03\",2026-01-05,100,110,90,105,1000\n" +
             std::string(5000, '1') + ",2026-01-05,100,110,90,105,1000\n" + plain,
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000)},
         3},
        {"a given code for a file without a code column",
         [](CsvMapping& m) {
             const int columns[] = {0, 1, 2, 3, 4, 5, 6};
             for (std::size_t k = 0; k < csv::kUsedRows.size(); ++k)
                 m.rows[csv::kUsedRows[k]].column = columns[k];
             m.codeGiven = true;
             m.givenCode = "７２０３";
         },
         "2026-01-05,100,110,90,105,1000\n2026-01-06,101,111,91,106,2000\n",
         {row("7203", "2026-01-05", 100, 110, 90, 105, 1000), row("7203", "2026-01-06", 101, 111, 91, 106, 2000)}},
        {"a given code that cannot be a code refuses the file",
         [](CsvMapping& m) {
             m.codeGiven = true;
             m.givenCode = "72/03";
         },
         plain,
         {},
         0,
         "ファイルにない: 指定コード"},
    };
}

TEST(PriceCsvParserTest, MappingCases) {
    for (const auto& c : mappingCases()) {
        SCOPED_TRACE(c.name);
        CsvMapping mapping = plainMapping();
        c.adjust(mapping);
        const auto parsed = csv::parsePriceCsv(c.bytes, mapping);
        if (!c.error.empty()) {
            EXPECT_FALSE(parsed.ok());
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
            EXPECT_TRUE(parsed.rows.empty());
            continue;
        }
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(parsed.rows, c.rows);
        EXPECT_EQ(parsed.skipped, c.skipped);
        EXPECT_EQ(parsed.skips.size(), c.skipped);
    }
}

TEST(PriceCsvParserTest, SkippedRowsNameTheirLineAndReason) {
    const auto parsed = csv::parsePriceCsv("7203,2026-01-05,100,110,90,105,1000\n7203,2026-01-06,100,110\n"
                                           "7203,not a date,100,110,90,105,1000\n",
                                           plainMapping());
    ASSERT_EQ(parsed.skips.size(), 2u);
    EXPECT_EQ(parsed.skips[0].line, 2u);
    EXPECT_NE(parsed.skips[0].reason.find("5列目"), std::string::npos) << parsed.skips[0].reason;
    EXPECT_EQ(parsed.skips[1].line, 3u);
    EXPECT_NE(parsed.skips[1].reason.find("not a date"), std::string::npos) << parsed.skips[1].reason;
}

TEST(PriceCsvParserTest, SkippedRowsAreCountedByKindAndADuplicateNamesTheLineKept) {
    const auto parsed = csv::parsePriceCsv("7203,2026-01-05,100,110,90,105,1000\n"
                                           "\n"
                                           "7203,2026-01-06,100,90,110,100,1\n"
                                           "7203,2026-01-05,101,111,91,106,2000\n"
                                           "7203,2026-13-01,100,110,90,105,1000\n"
                                           "7203,2026-12-12,100,110,90,105,1000\n"
                                           "7203,2026-01-07,x,110,90,105,1000\n"
                                           "a/b,2026-01-07,100,110,90,105,1000\n"
                                           "7203,2026-01-07,100,110\n",
                                           plainMapping(), "2026-12-11");
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    using K = csv::SkipKind;
    csv::SkipCounts expected;
    for (K kind : {K::Blank, K::Contradiction, K::Duplicate, K::Date, K::DateRange, K::Number, K::Code, K::Columns})
        expected[kind] = 1;
    EXPECT_EQ(parsed.skipCounts, expected);
    EXPECT_EQ(parsed.skipped, 8u);
    const auto duplicate = std::find_if(parsed.skips.begin(), parsed.skips.end(),
                                        [](const csv::SkippedRow& s) { return s.kind == K::Duplicate; });
    ASSERT_NE(duplicate, parsed.skips.end());
    EXPECT_EQ(duplicate->line, 1u);
    EXPECT_NE(duplicate->reason.find("4行目を登録します"), std::string::npos) << duplicate->reason;
    ASSERT_EQ(parsed.rows.size(), 1u);
    EXPECT_EQ(parsed.rows[0].volume, 2000);
}

TEST(PriceCsvParserTest, GeneratedKabuPlusDayFile) {
    const std::string bytes = test::kabuPlusDayFile("2026-03-02", 500, 7, 10);
    const auto parsed = csv::parsePriceCsv(bytes, CsvMapping());
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    ASSERT_EQ(parsed.rows.size(), 500u);
    EXPECT_EQ(parsed.skipped, 0u);
    const auto q = test::kabuPlusQuote(0, 7);
    EXPECT_EQ(parsed.rows[0], row("1301", "2026-03-02", q.open, q.high, q.low, q.close, q.volume));
    EXPECT_EQ(parsed.rows[9], row(test::kabuPlusCode(9), "2026-03-02", 0, 0, 0, 0, 0)); // no trade
}

TEST(PriceCsvParserTest, CellReaders) {
    const CsvMapping m;
    EXPECT_EQ(csv::readPriceCell(" 12.5 ", m), 12.5);
    EXPECT_EQ(csv::readPriceCell("+3", m), 3.0);
    EXPECT_EQ(csv::readPriceCell("-", m), 0.0);
    EXPECT_EQ(csv::readPriceCell("1,234.5", m), 1234.5);
    for (const char* bad : {"1,23", "12,", "abc", "1e5", "inf", "nan", "12.5.1", "--1", "1 2"})
        EXPECT_FALSE(csv::readPriceCell(bad, m).has_value()) << bad;
    EXPECT_EQ(csv::readVolumeCell("9223372036854775807", m), INT64_MAX);
    EXPECT_EQ(csv::readVolumeCell("1200.0", m), 1200);
    for (const char* bad : {"-5", "1.5", "9223372036854775808", "x"})
        EXPECT_FALSE(csv::readVolumeCell(bad, m).has_value()) << bad;
}

} // namespace

#include "framework/CsvReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavora::framework;
using tavora::test::TempDir;
using tavora::test::writeFile;

namespace {

std::string utf16(std::u16string_view text, bool bigEndian, bool bom) {
    std::string out;
    if (bom)
        out += bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    for (char16_t c : text) {
        char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

struct CsvCase {
    const char* name;
    std::string bytes;
    const char* encoding;
    char separator;
    std::optional<char> quote;
    ZStringListX rows; // expected rows when `error` is empty
    std::string error; // a part of the expected error text
};

class CsvReaderCases : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvReaderCases, ParsesOrRefuses) {
    const CsvCase& c = GetParam();
    CsvResult r = ParseCsvBytes(c.bytes, c.encoding, c.separator, c.quote);
    if (c.error.empty()) {
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.rows, c.rows);
    } else {
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        EXPECT_TRUE(r.rows.empty());
    }
    // Visiting the rows gives the same cells and the same verdict.
    if (auto encoding = csvEncodingFromName(c.encoding)) {
        ZStringListX visited;
        std::size_t expectedRow = 0;
        const std::string error = VisitCsvBytes(
            c.bytes, *encoding, c.separator, c.quote, [&](std::span<const std::string_view> cells, std::size_t row) {
                EXPECT_EQ(row, ++expectedRow);
                visited.emplace_back(cells.begin(), cells.end());
                return true;
            });
        EXPECT_EQ(error.empty(), c.error.empty()) << error;
        if (c.error.empty()) {
            EXPECT_EQ(visited, c.rows);
        }
    }
}

const std::string kLongLine(kMaxCsvLineBytes + 1, 'x');

// One case per line reads best as a table.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CsvReaderCases,
    ::testing::Values(
        CsvCase{"LfLines", "a,b\nc,d\n", "UTF-8", ',', '"', {{"a", "b"}, {"c", "d"}}, ""},
        CsvCase{"CrLfWithoutFinalBreak", "a,b\r\nc,d", "UTF-8", ',', '"', {{"a", "b"}, {"c", "d"}}, ""},
        CsvCase{"LoneCr", "a\rb\r", "UTF-8", ',', '"', {{"a"}, {"b"}}, ""},
        CsvCase{"Utf8BomSkipped", "\xEF\xBB\xBF" "code,名前\n", "UTF-8", ',', '"', {{"code", "名前"}}, ""},
        CsvCase{"QuotedSeparatorAndDoubledQuote", "\"a,b\",\"say \"\"hi\"\"\",\"\"\n", "UTF-8", ',', '"',
                {{"a,b", "say \"hi\"", ""}}, ""},
        CsvCase{"EmbeddedLineBreak", "\"line1\r\nline2\",x\r\ny\r\n", "UTF-8", ',', '"',
                {{"line1\r\nline2", "x"}, {"y"}}, ""},
        CsvCase{"QuoteInsideUnquotedFieldIsData", "5\"a,b\n", "UTF-8", ',', '"', {{"5\"a", "b"}}, ""},
        CsvCase{"FinalEmptyLinesAddNoRow", "a,\n\nb\n\n\r\n", "UTF-8", ',', '"',
                {{"a", ""}, {""}, {"b"}}, ""},
        CsvCase{"EmptyInput", "", "UTF-8", ',', '"', {}, ""},
        CsvCase{"NoQuoteHandling", "\"a,b\"\n", "UTF-8", ',', std::nullopt, {{"\"a", "b\""}}, ""},
        CsvCase{"SingleQuoteAndTab", "'x\ty'\tz\n", "UTF-8", '\t', '\'', {{"x\ty", "z"}}, ""},
        CsvCase{"Cp932", "\x81\x7C,\x8A\x94\x89\xBF,\x95\x5C\r\n", "Shift-JIS", ',', '"', {{"－", "株価", "表"}},
                ""},
        CsvCase{"Cp932MinusSign", "2026-01-05,\x81\x7C\n", "Shift-JIS", ',', '"', {{"2026-01-05", "－"}}, ""},
        CsvCase{"Utf16LeBom", utf16(u"a,株\r\nb\r\n", false, true), "UTF-16", ',', '"',
                {{"a", "株"}, {"b"}}, ""},
        CsvCase{"Utf16BeBom", utf16(u"a,株\n", true, true), "UTF-16", ',', '"', {{"a", "株"}}, ""},
        CsvCase{"Utf16LeWithoutBom", utf16(u"\"x,y\",z", false, false), "UTF-16", ',', '"',
                {{"x,y", "z"}}, ""},
        CsvCase{"InvalidUtf8", "ok\nbad\xC3(\n", "UTF-8", ',', '"', {}, "line 2: not valid UTF-8"},
        CsvCase{"InvalidCp932", "ok\nbad\x81\x20\n", "Shift-JIS", ',', '"', {},
                "line 2: not valid Shift-JIS"},
        CsvCase{"TruncatedCp932", "ok\x82", "Shift-JIS", ',', '"', {}, "line 1: not valid Shift-JIS"},
        CsvCase{"OddUtf16", std::string("\xFF\xFE" "a", 3), "UTF-16", ',', '"', {}, "not valid UTF-16"},
        CsvCase{"UnclosedQuote", "a\nb,\"cd\nef\n", "UTF-8", ',', '"', {},
                "line 2: quoted field is not closed"},
        CsvCase{"OverlongLine", "a\n" + kLongLine + "\n", "UTF-8", ',', '"', {}, "line 2: longer than"},
        CsvCase{"UnknownEncoding", "a", "EUC-JP", ',', '"', {}, "unknown text encoding"},
        CsvCase{"QuoteEqualsSeparator", "a", "UTF-8", ',', ',', {}, "must differ"},
        CsvCase{"LineBreakSeparator", "a", "UTF-8", '\n', '"', {}, "line break cannot"}),
    [](const ::testing::TestParamInfo<CsvCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(CsvReaderFileTest, ReadsFilesAndReportsUnreadableOnes) {
    TempDir tmp;
    writeFile(tmp / "marketday_jpn.csv", "2026-01-05,\x91\xE5\x94\xAD\x89\xEF\n2026-01-06,\n"); // 大発会
    CsvResult r = ReadCsvFileInfo(tmp / "marketday_jpn.csv", "Shift-JIS", ',');
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.rows, (ZStringListX{{"2026-01-05", "大発会"}, {"2026-01-06", ""}}));

    CsvResult missing = ReadCsvFileInfo(tmp / "nothing.csv", "UTF-8", ',');
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("nothing.csv"), std::string::npos) << missing.error;

    EXPECT_FALSE(ReadCsvFileInfo(tmp.path(), "UTF-8", ',').ok()); // a directory

    writeFile(tmp / "long.csv", std::string(kMaxCsvLineBytes + 10, 'a'));
    CsvResult tooLong = ReadCsvFileInfo(tmp / "long.csv", CsvEncoding::Utf8, ',', std::nullopt);
    EXPECT_FALSE(tooLong.ok());
    EXPECT_NE(tooLong.error.find("long.csv: line 1"), std::string::npos) << tooLong.error;
}

TEST(CsvReaderFileTest, AFileWithALineFarBeyondTheLimitIsRefusedWhileReading) {
    TempDir tmp;
    // Lines of any length up to the limit pass, across the reader's chunks; a line is counted
    // in the bytes of the file, so the line that is too long is named.
    const std::string fine(kMaxCsvLineBytes - 5, 'a');
    writeFile(tmp / "fine.csv", fine + "\r\n" + fine + "\n" + fine + "\r" + fine);
    std::string bytes;
    EXPECT_EQ(ReadCsvFileBytes(tmp / "fine.csv", bytes), "");
    EXPECT_EQ(bytes.size(), 4 * fine.size() + 4);

    // UTF-16 takes two bytes per character: a line within the limit as text passes.
    std::string utf16 = "\xFF\xFE";
    for (std::size_t i = 0; i < kMaxCsvLineBytes - 10; ++i)
        utf16 += std::string("a\0", 2);
    writeFile(tmp / "utf16.csv", utf16);
    EXPECT_TRUE(ReadCsvFileInfo(tmp / "utf16.csv", CsvEncoding::Utf16, ',', std::nullopt).ok());

    // A large file without a line break is refused, and what was read is let go.
    const auto huge = tmp / "huge.csv";
    writeFile(huge, "x\n");
    std::filesystem::resize_file(huge, 64u * 1024 * 1024);
    EXPECT_EQ(ReadCsvFileBytes(huge, bytes), huge.string() + ": line 2: longer than 1048576 bytes");
    EXPECT_TRUE(bytes.empty());
    const CsvResult visited = ReadCsvFileInfo(huge, CsvEncoding::ShiftJis, ',');
    EXPECT_NE(visited.error.find("line 2: longer than"), std::string::npos) << visited.error;
}

} // namespace

#pragma once
// The column mapping of the price CSV import: how a file is separated, quoted and encoded,
// where its data starts, which text means zero, and which column (or header title) holds the
// code, date, prices and volume. Kept in settei.db under the DT_ keys; the defaults read a
// KABU+ daily all-stock file as it is downloaded. A plain value type, safe from any thread.
#include "framework/CsvReader.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavora::csv {

enum class CsvSeparator { Comma, Tab };
enum class CsvMatchBy { Columns, Titles };
enum class CsvQuote { None, Double, Single };

// The ten rows of the mapping panel; name, market and sector are shown only.
enum MappingRow : int {
    RowCode = 0,
    RowName = 1,
    RowMarket = 2,
    RowSector = 3,
    RowDate = 4,
    RowOpen = 5,
    RowHigh = 6,
    RowLow = 7,
    RowClose = 8,
    RowVolume = 9,
};
inline constexpr int kMappingRows = 10;
// The rows a registration reads, in the order of a parsed row.
inline constexpr std::array<MappingRow, 7> kUsedRows = {RowCode, RowDate,  RowOpen,  RowHigh,
                                                        RowLow,  RowClose, RowVolume};
// The caption of the code choice for files without a code column.
inline constexpr const char* kGivenCodeChoice = "ファイルにない: 指定コード";
// The panel offers the columns 1 to 25.
inline constexpr int kMaxColumnChoice = 25;

struct MappingSlot {
    int column = 0;    // 1-based column in "by columns" mode; 0: none
    std::string title; // header title in "by titles" mode
    bool operator==(const MappingSlot&) const = default;
};

struct CsvMapping {
    CsvSeparator separator = CsvSeparator::Comma;
    CsvMatchBy matchBy = CsvMatchBy::Columns;
    std::array<MappingSlot, kMappingRows> rows; // the ten rows of the panel, by MappingRow
    int dataStart = 2;                          // first line of data, 1-based: 1, 2 or 3
    framework::CsvEncoding encoding = framework::CsvEncoding::ShiftJis;
    CsvQuote quote = CsvQuote::Double;
    std::string zeroText = "-"; // a cell equal to this reads as 0 (none when empty)
    // The code choice "ファイルにない: 指定コード": every row gets `givenCode`, for files of one
    // code that have no code column (most files from other sources).
    bool codeGiven = false;
    std::string givenCode;

    CsvMapping(); // the KABU+ layout
    bool operator==(const CsvMapping&) const = default;

    char separatorChar() const { return separator == CsvSeparator::Tab ? '\t' : ','; }
    std::optional<char> quoteChar() const;
};

// The caption of a mapping row ("コード", "銘柄名", ...).
const char* mappingRowCaption(int row);

// The command-line role names of the used rows: code, date, open, high, low, close, volume.
std::optional<MappingRow> mappingRowOfRole(std::string_view role);
const char* roleName(MappingRow row);

// Texts as the panel shows them and the DT_ keys store them.
std::string columnBoxText(int column);                     // "5列目"; empty for 0
int columnFromBoxText(std::string_view text);              // 1..25 for "1列目".."25列目", else 0
std::string dataStartText(int line);                       // "2行目"
const char* separatorText(CsvSeparator separator);         // "カンマ", "タブ"
const char* matchByText(CsvMatchBy matchBy);               // "retsu", "title"
const char* encodingText(framework::CsvEncoding encoding); // "UTF-16", "UTF-8", "Shift-JIS"
const char* quoteText(CsvQuote quote);                     // "なし", "\"", "'"
std::optional<CsvQuote> quoteFromText(std::string_view text);

// Every DT_ key with its stored text, in panel order.
std::vector<std::pair<std::string, std::string>> mappingKeyValues(const CsvMapping& mapping);
// The mapping stored under the DT_ keys; a missing key or a text no control offers keeps the
// default of that control.
CsvMapping mappingFromStored(const std::map<std::string, std::string>& stored);

} // namespace tavora::csv

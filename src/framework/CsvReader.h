#pragma once
// The CSV reader every file import uses: decodes a file (or bytes already in memory) to UTF-8
// and splits it into rows of cells. Pure functions, safe from any thread.
//
// Rules: lines end with CR LF, LF or a lone CR; a field that starts with the quote character is
// quoted: separators and line breaks inside it are data and a doubled quote is one quote (text
// after the closing quote up to the separator is kept as it stands); a quote inside an unquoted
// field is data. Every line is a row, an empty line a row with one empty cell, except that
// empty lines at the end of the file add no rows.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::framework {

using ZStringListX = std::vector<std::vector<std::string>>;

enum class CsvEncoding { Utf8, ShiftJis, Utf16 };

// Rows of cells (UTF-8), or the reason the input was refused.
struct CsvResult {
    ZStringListX rows;
    std::string error; // empty on success; otherwise says what and where (line or byte)
    bool ok() const { return error.empty(); }
};

// A physical line longer than this is refused (such a file is not a CSV file of ours).
inline constexpr std::size_t kMaxCsvLineBytes = 1024 * 1024;
// Files larger than this are refused rather than read into memory.
inline constexpr std::size_t kMaxCsvFileBytes = 512u * 1024 * 1024;

// "UTF-8", "Shift-JIS" (read as CP932) or "UTF-16" (BOM decides the byte order, little-endian
// without one); case-insensitive, "_" for "-" and a missing "-" are accepted, so are "SJIS" and
// "CP932". Empty for anything else.
std::optional<CsvEncoding> csvEncodingFromName(std::string_view name);

// Reads a file's bytes as the readers below do: refused, with a reason that names the path,
// when it cannot be read, is larger than kMaxCsvFileBytes, or holds a line far longer than
// kMaxCsvLineBytes (noticed while reading, so such a file is never read whole).
std::string ReadCsvFileBytes(const std::filesystem::path& path, std::string& bytes);

// Reads and parses a file. `quote` nullopt reads the file without quote handling.
CsvResult ReadCsvFileInfo(const std::filesystem::path& path, std::string_view encoding, char separator,
                          std::optional<char> quote = '"');
CsvResult ReadCsvFileInfo(const std::filesystem::path& path, CsvEncoding encoding, char separator,
                          std::optional<char> quote = '"');

// The same over bytes held in memory (for example a downloaded file).
CsvResult ParseCsvBytes(std::string_view bytes, CsvEncoding encoding, char separator,
                        std::optional<char> quote = '"');
CsvResult ParseCsvBytes(std::string_view bytes, std::string_view encoding, char separator,
                        std::optional<char> quote = '"');

// Splits text that is already UTF-8 (not checked here).
CsvResult ParseCsvText(std::string_view text, char separator, std::optional<char> quote = '"');

// The same rows without building them: `row` is called for each row in order with its cells
// and its 1-based row number; the views are valid only during the call. Returning false stops
// the reading. The result is the reason the input was refused (empty when it was read whole);
// rows before the fault have been visited already, so a caller that must not see part of a
// file keeps what it built only when the result is empty. For large files whose cells are
// used once.
using CsvRowVisitor = std::function<bool(std::span<const std::string_view> cells, std::size_t row)>;
std::string VisitCsvText(std::string_view text, char separator, std::optional<char> quote,
                         const CsvRowVisitor& row);
std::string VisitCsvBytes(std::string_view bytes, CsvEncoding encoding, char separator,
                          std::optional<char> quote, const CsvRowVisitor& row);
std::string VisitCsvFile(const std::filesystem::path& path, CsvEncoding encoding, char separator,
                         std::optional<char> quote, const CsvRowVisitor& row);

} // namespace tavora::framework

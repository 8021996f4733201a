#pragma once
// The per-code price CSV: every day of one code, oldest first, one line
// "date,open,high,low,close,volume" (no header, CR LF). Export writes the file under a
// temporary name and renames it into place; import reads such a file (commas or tabs, any
// line end, a byte-order mark) and stores it for a code in one transaction, all or nothing.
// A header line is read for its titles (Date/日付, Open/始値, High/高値, Low/安値, Close/終値,
// Volume/出来高, Code/コード; "Adj Close" ignored), so a file saved by a finance site imports
// with its columns in place; a title it does not know refuses the file. Every line must have
// the file's number of fields (the volume may be left off at the end). Rows are checked as the
// mapped import checks them (RowChecks.h). Both borrow a connection and run on the thread that
// owns it; the import is a price-database job, so its caller holds the guard's ticket.
#include "csv/RowChecks.h"
#include "framework/Sql.h"
#include "market/PriceDatabase.h"
#include "market/StockCode.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::csv {

struct CodeExportResult {
    bool ok = false;
    std::size_t rows = 0;
    std::string message;        // the panel's result text
    std::string messageEnglish; // the same in English, one line, for tavora-cli
};

// The file's text for the rows (oldest first).
std::string codeCsvText(const std::vector<market::PriceRow>& rows);
// The rows of `code`, or the message that says why there are none to write.
CodeExportResult readCodeRows(framework::ZSqlElement& db, const std::string& code,
                              std::vector<market::PriceRow>& rows);
// Writes the rows to `path` (a temporary file renamed into place).
CodeExportResult writeCodeCsv(const std::vector<market::PriceRow>& rows, const std::filesystem::path& path);
// Writes every row of `code` to `path`.
CodeExportResult exportCodeCsv(framework::ZSqlElement& db, const std::string& code,
                               const std::filesystem::path& path);
// The name the save dialog proposes: "<title>_export_<code>.csv".
std::string codeExportFileName(const std::string& appTitle, const std::string& code);

struct CodeImportResult {
    bool ok = false;
    std::string code;                     // the code stored under (folded, in the catalogue's spelling)
    bool codeInCatalogue = true;          // false: stored all the same, the catalogue may come later
    std::size_t lines = 0;                // data lines read (not blank lines, not the header)
    std::size_t stored = 0;               // rows stored (0 unless the transaction committed)
    std::size_t skipped = 0;              // blank lines and lines that are not a day of prices
    SkipCounts skipCounts;                // `skipped` by kind
    std::size_t failed = 0;               // rows the database refused
    std::vector<std::string> skipReasons; // the first few, "line N: why"
    std::vector<std::string> skipReasonsEnglish; // the same in English, for tavora-cli
    std::string message;                         // the panel's result text
    std::string messageEnglish;                  // the same in English, one line, for tavora-cli
};

// The rows of a per-code file for `code` (already folded), with the counts of what was
// skipped. `today` ("YYYY-MM-DD") bounds the dates; empty: today's date. Pure.
struct CodeCsvRows {
    std::vector<market::PriceRow> rows;
    std::size_t lines = 0;
    std::size_t skipped = 0;
    SkipCounts skipCounts;
    std::vector<std::string> skipReasons;
    std::vector<std::string> skipReasonsEnglish;
    std::string error;   // the bytes are not text
    std::string refusal; // the header names a column the import does not know
    std::string errorEnglish, refusalEnglish; // the same two in English, for tavora-cli
};
CodeCsvRows parseCodeCsv(std::string_view bytes, const std::string& code, const std::string& today = {});

// Reads `path` and stores its rows for `code`, folded (StockCode.h) and refused when it cannot
// be a code. With a catalogue the code takes the catalogue's spelling, and the result says when
// the catalogue lacks it.
CodeImportResult importCodeCsv(framework::ZSqlElement& db, const std::string& code,
                               const std::filesystem::path& path,
                               const market::CatalogueCodes* catalogue = nullptr);

} // namespace tavora::csv

#pragma once
// The per-code price CSV: every day of one code, oldest first, one line
// "date,open,high,low,close,volume" (no header, CR LF). Export writes the file under a
// temporary name and renames it into place; import reads such a file (commas or tabs, any
// line end, a byte-order mark, a header line) and stores it for a code in one transaction,
// all or nothing. Both borrow a connection and run on the thread that owns it; the import is a
// price-database job, so its caller holds the guard's ticket.
#include "framework/Sql.h"
#include "market/PriceDatabase.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::csv {

struct CodeExportResult {
    bool ok = false;
    std::size_t rows = 0;
    std::string message; // the panel's result text
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
    std::size_t lines = 0;                // data lines read (not blank lines, not the header)
    std::size_t stored = 0;               // rows stored (0 unless the transaction committed)
    std::size_t skipped = 0;              // blank lines and lines that are not a day of prices
    std::size_t failed = 0;               // rows the database refused
    std::vector<std::string> skipReasons; // the first few, "line N: why"
    std::string message;                  // the panel's result text
};

// The rows of a per-code file for `code`, with the counts of what was skipped. Pure.
struct CodeCsvRows {
    std::vector<market::PriceRow> rows;
    std::size_t lines = 0;
    std::size_t skipped = 0;
    std::vector<std::string> skipReasons;
    std::string error; // the bytes are not text
};
CodeCsvRows parseCodeCsv(std::string_view bytes, const std::string& code);

// Reads `path` and stores its rows for `code`.
CodeImportResult importCodeCsv(framework::ZSqlElement& db, const std::string& code,
                               const std::filesystem::path& path);

} // namespace tavora::csv

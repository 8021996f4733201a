#pragma once
// The preview shown before a registration: the rows the mapping gives for the first file of
// the import folder, as they would be stored (at most 100), with the count of rows and of
// skipped rows. Pure, safe from any thread.
#include "csv/CsvMapping.h"
#include "csv/PriceCsvParser.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tavora::csv {

inline constexpr std::size_t kPreviewRows = 100;

// The captions of the preview table's columns.
inline constexpr std::array<const char*, 7> kPreviewCaptions = {"コード", "日付", "始値",  "高値",
                                                                "安値",   "終値", "出来高"};

struct CsvPreview {
    std::filesystem::path file;
    std::vector<std::array<std::string, 7>> rows; // code, date, open, high, low, close, volume
    std::size_t parsedRows = 0;                   // every row the file gives
    std::size_t skipped = 0;
    std::vector<SkippedRow> skips;
    std::string error; // the file is refused
    std::string errorEnglish; // the same in English, for tavora-cli
};

CsvPreview previewPriceCsv(const std::filesystem::path& file, const CsvMapping& mapping,
                           std::size_t maxRows = kPreviewRows);

// The cells of a row as the preview shows them (an absent price is empty).
std::array<std::string, 7> previewCells(const market::PriceRow& row);
// "計 %d件".
std::string previewCountText(std::size_t rows);

} // namespace tavora::csv

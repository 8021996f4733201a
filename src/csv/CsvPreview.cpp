#include "csv/CsvPreview.h"

#include <charconv>

namespace tavora::csv {

namespace {

std::string priceText(const std::optional<double>& price) {
    if (!price)
        return {};
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *price);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

} // namespace

std::array<std::string, 7> previewCells(const market::PriceRow& row) {
    return {row.code,
            row.date,
            priceText(row.open),
            priceText(row.high),
            priceText(row.low),
            priceText(row.close),
            std::to_string(row.volume)};
}

std::string previewCountText(std::size_t rows) {
    return "計 " + std::to_string(rows) + "件";
}

CsvPreview previewPriceCsv(const std::filesystem::path& file, const CsvMapping& mapping,
                           std::size_t maxRows) {
    CsvPreview preview;
    preview.file = file;
    PriceCsvFile parsed = readPriceCsv(file, mapping);
    preview.error = std::move(parsed.error);
    preview.errorEnglish = std::move(parsed.errorEnglish);
    preview.parsedRows = parsed.rows.size();
    preview.skipped = parsed.skipped;
    preview.skips = std::move(parsed.skips);
    for (std::size_t i = 0; i < parsed.rows.size() && i < maxRows; ++i)
        preview.rows.push_back(previewCells(parsed.rows[i]));
    return preview;
}

} // namespace tavora::csv

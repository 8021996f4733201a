// Reading the code-list file and the split file into the catalogue.
#include "framework/CsvReader.h"
#include "framework/Files.h"
#include "market/CodeList.h"
#include "market/Splits.h"

namespace tavora::market {

namespace {

// The reader's reason (a path with the system's or the decoder's text) reads the same in both
// languages.
framework::Result<framework::ZStringListX> readRecords(const std::string& path) {
    auto result = framework::ReadCsvFileInfo(path, framework::CsvEncoding::Utf8, ',');
    if (!result.ok())
        return framework::Failure::untranslated(std::move(result.error));
    return std::move(result.rows);
}

} // namespace

framework::Result<> LoadCodeList(CodeList& list, const std::string& path) {
    auto rows = readRecords(path);
    if (!rows)
        return rows.failure();
    AppendCodeRecords(list, *rows);
    return {};
}

framework::Result<> CheckCodeListFile(const std::string& path) {
    if (path.empty() || !framework::isliveFile(path))
        return framework::Failure{"銘柄リストが見つかりません: " + path, "no code list at " + path};
    CodeList entries;
    if (auto loaded = LoadCodeList(entries, path); !loaded)
        return framework::Failure{"銘柄リストを読み込めません: " + path + ": " + loaded.message(),
                                  "cannot read the code list " + path + ": " + loaded.english()};
    if (entries.empty())
        return framework::Failure{
            "銘柄リストに銘柄がありません（1行に コード,銘柄名,業種,市場 が必要です）: " + path,
            "the code list holds no codes (each line needs code,name,sector,market): " + path};
    return {};
}

framework::Result<> AttachSplits(CodeList& catalogue, const std::string& path,
                                 std::vector<std::string>* skipped) {
    auto rows = readRecords(path);
    if (!rows)
        return rows.failure();
    AttachSplitRecords(catalogue, *rows, skipped);
    return {};
}

} // namespace tavora::market

// Reading the code-list file and the split file into the catalogue.
#include "framework/CsvReader.h"
#include "framework/Files.h"
#include "market/CodeList.h"
#include "market/Splits.h"

namespace tavora::market {

namespace {

bool readRecords(const std::string& path, framework::ZStringListX& rows, std::string* error) {
    auto result = framework::ReadCsvFileInfo(path, framework::CsvEncoding::Utf8, ',');
    if (!result.ok()) {
        if (error)
            *error = result.error;
        return false;
    }
    rows = std::move(result.rows);
    return true;
}

} // namespace

bool LoadCodeList(CodeList& list, const std::string& path, std::string* error) {
    framework::ZStringListX rows;
    if (!readRecords(path, rows, error))
        return false;
    AppendCodeRecords(list, rows);
    return true;
}

std::string CodeListFileProblem(const std::string& path, std::string* english) {
    auto said = [english](std::string ja, std::string en) {
        if (english)
            *english = std::move(en);
        return ja;
    };
    if (path.empty() || !framework::isliveFile(path))
        return said("銘柄リストが見つかりません: " + path, "no code list at " + path);
    CodeList entries;
    std::string error;
    if (!LoadCodeList(entries, path, &error))
        return said("銘柄リストを読み込めません: " + path + ": " + error,
                    "cannot read the code list " + path + ": " + error);
    if (entries.empty())
        return said("銘柄リストに銘柄がありません（1行に コード,銘柄名,業種,市場 が必要です）: " + path,
                    "the code list holds no codes (each line needs code,name,sector,market): " + path);
    return {};
}

bool AttachSplits(CodeList& catalogue, const std::string& path, std::string* error,
                  std::vector<std::string>* skipped) {
    framework::ZStringListX rows;
    if (!readRecords(path, rows, error))
        return false;
    AttachSplitRecords(catalogue, rows, skipped);
    return true;
}

} // namespace tavora::market

// Reading the code-list file and the split file into the catalogue.
#include "framework/CsvReader.h"
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

bool AttachSplits(CodeList& catalogue, const std::string& path, std::string* error,
                  std::vector<std::string>* skipped) {
    framework::ZStringListX rows;
    if (!readRecords(path, rows, error))
        return false;
    AttachSplitRecords(catalogue, rows, skipped);
    return true;
}

} // namespace tavora::market

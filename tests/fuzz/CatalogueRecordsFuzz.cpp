// The code list ("code_info.csv") and the split file ("bunkatsudata.csv") as start-up reads
// them: the first part of the input is the code list, the second the split file. Invariants:
// every split attached sits on the first entry of its code, has a canonical date and a ratio
// of at most seven characters; searching for an entry's code finds at least that entry.
// fuzz-seeds: data/others/code_info.csv data/others/bunkatsudata.csv
#include "FuzzSupport.h"
#include "framework/CsvReader.h"
#include "framework/Dates.h"
#include "market/CodeList.h"
#include "market/Splits.h"

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::string_view codeFile = in.part();
    const std::string_view splitFile = in.part().empty() ? codeFile : in.rest();

    const auto codes = framework::ParseCsvBytes(codeFile, framework::CsvEncoding::Utf8, ',');
    const auto splits = framework::ParseCsvBytes(splitFile, framework::CsvEncoding::Utf8, ',');
    market::CodeList catalogue;
    if (codes.ok())
        market::AppendCodeRecords(catalogue, codes.rows);
    std::vector<std::string> skipped;
    if (splits.ok())
        market::AttachSplitRecords(catalogue, splits.rows, &skipped);

    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const market::CodeElm& entry = catalogue[i];
        fuzz::check(entry.splits.empty() || market::FindCode(catalogue, entry.code) == &entry,
                    "splits attached to a later duplicate", entry.code);
        for (const auto& split : entry.splits) {
            fuzz::check(framework::canonicalDate(split.date) == split.date, "a split date not canonical",
                        split.date);
            fuzz::check(split.ratio.size() <= market::BunkatsuElm::kMaxRatioText, "a split ratio too long",
                        split.ratio);
        }
    }
    if (!catalogue.empty()) {
        // A whole code as typed: search folds widths and cases, so a byte prefix could cut a
        // character (or a half-width kana from its sound mark) and legitimately match nothing.
        const std::string needle = catalogue[catalogue.size() / 2].code;
        market::CodeList hits;
        market::SearchCodes(catalogue, needle, hits);
        fuzz::check(hits.size() <= catalogue.size(), "search found more entries than exist");
        fuzz::check(needle.empty() || !hits.empty(), "search missed the entry the text came from", needle);
    }
    return 0;
}

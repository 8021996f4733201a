#include "market/Splits.h"

#include "framework/Dates.h"
#include "framework/Log.h"

namespace tavora::market {

void AttachSplitRecords(CodeList& catalogue, const std::vector<std::vector<std::string>>& records,
                        std::vector<std::string>* skipped) {
    for (const auto& record : records) {
        if (record.size() < 3)
            continue;
        CodeElm* entry = FindCode(catalogue, record[1]);
        if (!entry)
            continue;
        std::string date = framework::canonicalDate(record[0]);
        if (date.empty()) {
            if (skipped)
                skipped->push_back("分割データの日付が不正なため無視しました: " + record[1] + " " +
                                   framework::logExcerpt(record[0]));
            continue;
        }
        const std::string& ratio = record[2];
        entry->splits.push_back(
            {std::move(date), ratio.substr(0, std::min(ratio.size(), BunkatsuElm::kMaxRatioText))});
    }
}

void ApplySplits(const BunkatsuList& splits, KeisenList& dayBars, std::vector<std::string>* skipped) {
    for (const auto& split : splits) {
        KeisenElm* bar = dayBars.findByDate(split.date);
        if (!bar)
            continue;
        if (!parseSplitRatio(split.ratio)) {
            if (skipped)
                skipped->push_back("分割比率が不正なため無視しました: " + split.date + " \"" + split.ratio +
                                   "\"");
            continue;
        }
        bar->split = split.ratio;
    }
}

} // namespace tavora::market

#pragma once
// Attaching the split file to the catalogue, and marking a code's split days on its day bars.
// AttachSplits runs on the UI thread at start-up; ApplySplits on whichever thread builds the
// bars (it touches only the list it is given).
#include "framework/Result.h"
#include "market/Bunkatsu.h"
#include "market/CodeList.h"
#include "market/Keisen.h"

#include <string>
#include <vector>

namespace tavora::market {

// For each record (date, code, ratio): appends a split to the first catalogue entry with that
// code; records of unknown codes and records with fewer than three fields are dropped. A
// record whose date is not a real date (framework::parseDate) is dropped and a line saying so
// goes to `skipped`; kept dates are stored as "YYYY-MM-DD".
void AttachSplitRecords(CodeList& catalogue, const std::vector<std::vector<std::string>>& records,
                        std::vector<std::string>* skipped = nullptr);
// Reads "bunkatsudata.csv" (UTF-8, ",") and attaches its splits. Fails with the reader's
// reason when the file cannot be read.
framework::Result<> AttachSplits(CodeList& catalogue, const std::string& path,
                                 std::vector<std::string>* skipped = nullptr);

// Copies each split's ratio into the split text of the day bar of its date. A split whose
// date has no day bar is ignored; a split whose ratio is not a number greater than 0 is
// skipped, and a line saying so is added to `skipped` (for the log).
void ApplySplits(const BunkatsuList& splits, KeisenList& dayBars,
                 std::vector<std::string>* skipped = nullptr);

} // namespace tavora::market

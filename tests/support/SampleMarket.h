#pragma once
// A small real market for window tests: a price database "kabuka.db" with generated day
// bars for a list of codes, and a context whose catalogue lists those codes and whose price
// connection is open on that database.
#include "app/core/AppContext.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavora::test {

struct SampleCode {
    std::string code;
    std::string name;
    int bars = 300;       // consecutive weekdays ending shortly before today
    double base = 1000.;  // price level
};

// Writes the bars of every code into dir/kabuka.db (created) in one transaction.
void writeSamplePrices(const std::filesystem::path& dir, const std::vector<SampleCode>& codes);

// Points the context's paths below `root`, writes the prices there, opens the price
// connection and the in-memory scale table, and fills the catalogue (sector "電気機器",
// market "東証プライム") in the given order. No current code.
void buildSampleContext(app::AppContext& ctx, const std::filesystem::path& root, const std::vector<SampleCode>& codes);

}  // namespace tavora::test

#pragma once
// The common sets of lines the analysis-graph editor's "テンプレート" menu adds as ordinary
// rows: moving averages for day and week charts and a Bollinger band. Pure; any thread.
#include "analysis/BunsekiTable.h"

#include <span>
#include <string_view>
#include <vector>

namespace tavora::analysis {

struct BunsekiTemplate {
    std::string_view caption; // the menu entry
    std::vector<BunsekiRow> rows;
};

// "移動平均 5/25/75", "移動平均 13/26 (週足向け)", "ボリンジャーバンド 20 (±2σ)".
std::span<const BunsekiTemplate> bunsekiTemplates();

} // namespace tavora::analysis

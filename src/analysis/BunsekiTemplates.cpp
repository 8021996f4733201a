#include "analysis/BunsekiTemplates.h"

#include "framework/ColorText.h"

#include <string>

namespace tavora::analysis {

namespace {

using framework::rgbColor;

BunsekiRow average(std::string name, std::uint32_t colour, int window) {
    return {std::move(name),
            "1",
            framework::ConvertCRtoTCHAR(colour),
            "1",
            "1",
            "",
            std::to_string(KindMovingAverage),
            std::to_string(window),
            ""};
}

BunsekiRow formula(std::string name, std::uint32_t colour, std::string sensyu, std::string text) {
    return {std::move(name),
            "1",
            framework::ConvertCRtoTCHAR(colour),
            "1",
            std::move(sensyu),
            std::move(text),
            "0",
            "",
            ""};
}

std::vector<BunsekiTemplate> makeTemplates() {
    const std::uint32_t shortTerm = rgbColor(220, 20, 60);  // crimson
    const std::uint32_t middleTerm = rgbColor(34, 139, 34); // forest green
    const std::uint32_t longTerm = rgbColor(30, 90, 200);   // blue
    const std::uint32_t band = rgbColor(128, 0, 128);       // purple
    return {
        {"移動平均 5/25/75",
         {average("移動平均5", shortTerm, 5), average("移動平均25", middleTerm, 25),
          average("移動平均75", longTerm, 75)}},
        {"移動平均 13/26 (週足向け)",
         {average("移動平均13", shortTerm, 13), average("移動平均26", middleTerm, 26)}},
        {"ボリンジャーバンド 20 (±2σ)",
         {formula("ボリンジャー20 +2σ", band, "3", "MA(C,20)+2*STD(C,20)"),
          formula("ボリンジャー20 中心", band, "1", "MA(C,20)"),
          formula("ボリンジャー20 -2σ", band, "3", "MA(C,20)-2*STD(C,20)")}},
    };
}

} // namespace

std::span<const BunsekiTemplate> bunsekiTemplates() {
    static const std::vector<BunsekiTemplate> templates = makeTemplates();
    return templates;
}

} // namespace tavora::analysis

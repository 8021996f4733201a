#pragma once
// The stock splits of one code (BunkatsuElm, BunkatsuList), as read from "bunkatsudata.csv".
// Plain data owned by a catalogue entry; copied into a chart-opening request.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavora::market {

// One split: from `date` on prices are as stored; bars before it are divided by the ratio.
struct BunkatsuElm {
    static constexpr std::size_t kMaxRatioText = 7;

    std::string date;  // "YYYY-MM-DD": the oldest bar left unadjusted
    std::string ratio; // decimal text, at most 7 characters

    bool operator==(const BunkatsuElm&) const = default;
};

// The splits of one code, in file order.
using BunkatsuList = std::vector<BunkatsuElm>;

// The ratio of a split text when it is a usable divisor: a finite decimal number greater
// than 0 with nothing after it but blanks. None for zero, negative, empty or malformed texts
// (dividing every older price by such a value would corrupt the whole series).
std::optional<double> parseSplitRatio(std::string_view text);

} // namespace tavora::market

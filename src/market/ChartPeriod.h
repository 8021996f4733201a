#pragma once
// The four chart periods, with the letters that prefix columns, settings keys and the `kikan`
// of annotations, and the tab captions. Plain data; usable from any thread.
#include <array>
#include <optional>
#include <string_view>

namespace tavora::market {

enum class ChartPeriod : int { Day = 0, Week = 1, Month = 2, Year = 3 };

inline constexpr std::array<ChartPeriod, 4> kAllPeriods{ChartPeriod::Day, ChartPeriod::Week,
                                                        ChartPeriod::Month, ChartPeriod::Year};

// "d", "w", "m", "y".
constexpr std::string_view periodLetter(ChartPeriod p) {
    constexpr std::array<std::string_view, 4> letters{"d", "w", "m", "y"};
    return letters[static_cast<int>(p)];
}

// "日足", "週足", "月足", "年足".
constexpr std::string_view periodCaption(ChartPeriod p) {
    constexpr std::array<std::string_view, 4> captions{"日足", "週足", "月足", "年足"};
    return captions[static_cast<int>(p)];
}

constexpr int periodIndex(ChartPeriod p) {
    return static_cast<int>(p);
}

// The period of a letter ("d", "w", "m", "y"); none for anything else.
constexpr std::optional<ChartPeriod> periodFromLetter(std::string_view letter) {
    for (ChartPeriod p : kAllPeriods)
        if (periodLetter(p) == letter)
            return p;
    return std::nullopt;
}

} // namespace tavora::market

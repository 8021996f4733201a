#pragma once
// The per-code chart scale of the four periods (day, week, month, year): bar pitch, tick
// size and the fixed grid interval (0 = chosen automatically). A plain value type.
#include "settings/ScaleBounds.h"

#include <array>
#include <optional>
#include <string_view>

namespace tavora::chart {

// The range of a fixed grid interval: the steps of the grid table.
inline constexpr settings::ScaleBounds kFixedGridBounds{0,
                                                        3'000'000}; // 0 (automatic) .. the largest interval

// A scale value stored as decimal text (read as atoi reads it: leading blanks, a sign, digits,
// anything after them ignored). None when there is no number or it lies outside `bounds`;
// the caller then takes the default, so a damaged file can neither divide by zero nor
// overflow the geometry (five ticks, grid pixels).
std::optional<int> readScaleValue(std::string_view text, settings::ScaleBounds bounds);

struct CodeScale {
    static constexpr int kDefaultPitch = 3; // for a code without a stored row
    static constexpr int kDefaultTick = 5;

    std::array<int, 4> pitch{kDefaultPitch, kDefaultPitch, kDefaultPitch, kDefaultPitch}; // x_haba_p
    std::array<int, 4> tick{kDefaultTick, kDefaultTick, kDefaultTick, kDefaultTick};      // y_ichimemori
    std::array<int, 4> fixedGrid{0, 0, 0, 0};                                             // sonota1..4

    bool operator==(const CodeScale&) const = default;
};

} // namespace tavora::chart

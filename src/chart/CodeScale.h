#pragma once
// The per-code chart scale of the four periods (day, week, month, year): bar pitch, tick
// size and the fixed grid interval (0 = chosen automatically). A plain value type.
#include <array>

namespace tavora::chart {

struct CodeScale {
    static constexpr int kDefaultPitch = 3; // for a code without a stored row
    static constexpr int kDefaultTick = 5;

    std::array<int, 4> pitch{kDefaultPitch, kDefaultPitch, kDefaultPitch, kDefaultPitch}; // x_haba_p
    std::array<int, 4> tick{kDefaultTick, kDefaultTick, kDefaultTick, kDefaultTick};      // y_ichimemori
    std::array<int, 4> fixedGrid{0, 0, 0, 0};                                             // sonota1..4

    bool operator==(const CodeScale&) const = default;
};

} // namespace tavora::chart

#pragma once
// The range a stored chart scale value may take: the steps of the zoom sliders. The settings
// check their default pitch and tick against it; the chart reads the per-code scales with it.
// A plain value type.
namespace tavora::settings {

struct ScaleBounds {
    int min;
    int max;
    constexpr bool contains(int value) const { return value >= min && value <= max; }
};
inline constexpr ScaleBounds kPitchBounds{2, 21}; // horizontal zoom: 2 .. 21 pixels
inline constexpr ScaleBounds kTickBounds{1, 10};  // vertical zoom: 1 .. 10 pixels

} // namespace tavora::settings

#pragma once
// The text form of analysis values: "%.2f" written and read without the C library's
// locale machinery, because the computations format one text per bar and graph.
// Pure functions; any thread.
#include <cstddef>
#include <optional>
#include <string_view>

namespace tavora::analysis {

// Large enough for every value the computations keep (31 characters and the terminator).
inline constexpr std::size_t kValueTextSize = 32;

// Writes v as "%.2f" would into buf (not terminated) and returns the length, or 0 when the
// text would not fit in `size` bytes. The result equals snprintf's in every case.
std::size_t FormatValue2(double v, char* buf, std::size_t size);

// Reads a value text as C `atof` would for the texts this program writes: empty (or text
// that does not start with a number) reads as 0.
double ParseValueText(std::string_view text);

} // namespace tavora::analysis

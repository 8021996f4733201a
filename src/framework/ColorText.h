#pragma once
// Colours as stored text: a 32-bit 0x00BBGGRR value (red in the low byte) written as its
// decimal number. Pure functions, safe from any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace tavora::framework {

// 0xFCFCFC -> "16579836".
std::string ConvertCRtoTCHAR(std::uint32_t color);
// The decimal text back to the value. Text that is not a whole unsigned 32-bit decimal number
// (surrounding blanks allowed) reads 0 (black).
std::uint32_t ConvertTCHARtoCR(std::string_view text);

// 0x00BBGGRR from components and back.
constexpr std::uint32_t rgbColor(int r, int g, int b) {
    return static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(std::uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(std::uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

} // namespace tavora::framework

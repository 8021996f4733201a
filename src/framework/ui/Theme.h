#pragma once
// The seven theme colours of the window frame, tabs and pop-ups, kept as the 0x00BBGGRR
// values the stored formats use, and their conversion to QColor.
#include <QColor>

#include <array>
#include <cstdint>

namespace tavora::framework::ui {

inline QColor fromColorRef(std::uint32_t cr) {
    return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF));
}

// aplithema1_cr .. aplithema7_cr: accent, light accent, dark accent and four pale grounds.
inline constexpr std::array<std::uint32_t, 7> ThemeColors = {0xB76800, 0xF1E2BB, 0x780604, 0xFFF8F0,
                                                             0xFFF8F8, 0xFFFFF0, 0xDEC4B0};

inline QColor themeColor(int n) { return fromColorRef(ThemeColors.at(n - 1)); }

}  // namespace tavora::framework::ui

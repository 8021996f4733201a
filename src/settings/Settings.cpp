#include "settings/Settings.h"

namespace tavora::settings {

std::optional<int> lineStyleNumber(const std::string& text) {
    if (text == kLineSolid)
        return 1;
    if (text == kLineDotted)
        return 2;
    if (text == kLineDashed)
        return 3;
    return std::nullopt;
}

std::string lineStyleText(int number) {
    switch (number) {
    case 2:
        return kLineDotted;
    case 3:
        return kLineDashed;
    default:
        return kLineSolid;
    }
}

int adpanelWidthType(const std::string& text) {
    if (text == kAdpanelNotView)
        return 0;
    if (text == kAdpanelLargeView)
        return 2;
    return 1;
}

} // namespace tavora::settings

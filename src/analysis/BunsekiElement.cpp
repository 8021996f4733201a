#include "analysis/BunsekiElement.h"

#include <climits>

namespace tavora::analysis {

const BunsekiElement* BunsekiList::find(std::string_view name) const {
    for (const auto& e : m_elements)
        if (e.name == name)
            return &e;
    return nullptr;
}

int AtoiText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

BunsekiLineStyle LineStyleFromSensyu(std::string_view sensyu) {
    switch (AtoiText(sensyu)) {
    case 2:
        return BunsekiLineStyle::Dotted;
    case 3:
        return BunsekiLineStyle::Dashed;
    default:
        return BunsekiLineStyle::Solid;
    }
}

int CanvasLineStyle(BunsekiLineStyle style) {
    switch (style) {
    case BunsekiLineStyle::Dashed:
        return framework::LineDashed;
    case BunsekiLineStyle::Dotted:
        return framework::LineDotted;
    case BunsekiLineStyle::Solid:
        break;
    }
    return framework::LineSolid;
}

framework::Pen MakeGraphPen(std::uint32_t colour, int width, BunsekiLineStyle style) {
    return framework::Pen{colour, width < 1 ? 1 : width, CanvasLineStyle(style)};
}

} // namespace tavora::analysis

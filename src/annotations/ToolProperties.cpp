#include "annotations/ToolProperties.h"

#include "settings/Settings.h"

#include <charconv>

namespace tavora::annotations {

namespace {

using chart::ToolDefaults;
using chart::ToolStyle;

constexpr const char* kDefaultFace = "メイリオ";
constexpr const char* kDefaultSize = "9";

// The defaults of a tool that has a style of its own (not None or Select).
ToolStyle* styleOf(PropertyTool tool, ToolDefaults& d) {
    switch (tool) {
    case PropertyTool::Cross:
        return &d.cross;
    case PropertyTool::TimePrice:
        return &d.timePrice;
    case PropertyTool::Takayasu:
        return &d.takayasu;
    case PropertyTool::RangeTime:
        return &d.rangeTime;
    case PropertyTool::RangeNedan:
        return &d.rangeNedan;
    case PropertyTool::Line:
        return &d.line;
    case PropertyTool::Text:
        return &d.text;
    case PropertyTool::Memo:
        return &d.memo;
    default:
        return nullptr;
    }
}

// The tools that draw a line and a label (both take the one colour).
bool isMeasure(PropertyTool t) {
    return t == PropertyTool::Cross || t == PropertyTool::TimePrice || t == PropertyTool::RangeTime ||
           t == PropertyTool::RangeNedan;
}

int styleNumber(const std::string& text, int fallback) {
    return settings::lineStyleNumber(text).value_or(fallback);
}

} // namespace

PropertyTool propertyToolOf(const chart::ToolFlags& t) {
    if (t.cross)
        return PropertyTool::Cross;
    if (t.timePrice)
        return PropertyTool::TimePrice;
    if (t.takayasu)
        return PropertyTool::Takayasu;
    if (t.rangeTime)
        return PropertyTool::RangeTime;
    if (t.rangeNedan)
        return PropertyTool::RangeNedan;
    if (t.line)
        return PropertyTool::Line;
    if (t.text)
        return PropertyTool::Text;
    if (t.select)
        return PropertyTool::Select;
    if (t.memo)
        return PropertyTool::Memo;
    return PropertyTool::None;
}

std::optional<int> fontSizeOf(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (value < kFontSizeMin || value > kFontSizeMax)
        return std::nullopt;
    return value;
}

PropertyForm propertyForm(PropertyTool tool, const ToolDefaults& defaults) {
    PropertyForm f;
    ToolDefaults copy = defaults;
    const ToolStyle* style = styleOf(tool, copy);
    if (tool == PropertyTool::None)
        return f; // everything empty and disabled, "左" chosen
    if (tool == PropertyTool::Select) {
        // Empty boxes change nothing; only what the user fills in reaches the elements.
        f.sizeEnabled = f.faceEnabled = f.styleEnabled = f.colourEnabled = true;
        return f;
    }
    f.resetEnabled = true;
    f.colourEnabled = true;
    if (tool == PropertyTool::Line) {
        f.values.colour = style->lineColor;
        f.values.lineStyle = settings::lineStyleText(style->lineStyle);
        f.styleEnabled = true;
        return f;
    }
    f.values.fontFace = style->fontFace;
    f.values.fontSize = std::to_string(style->fontSize);
    f.sizeEnabled = f.faceEnabled = true;
    // A price range shows its line's colour, the other measures their label's.
    f.values.colour = tool == PropertyTool::RangeNedan ? style->lineColor : style->textColor;
    if (isMeasure(tool)) {
        f.values.lineStyle = settings::lineStyleText(style->lineStyle);
        f.styleEnabled = true;
    }
    if (tool == PropertyTool::RangeNedan) {
        f.values.yoko = defaults.rangeNedanYoko;
        f.yokoEnabled = true;
    }
    return f;
}

PropertyValues resetValues(PropertyTool tool, PropertyValues v) {
    switch (tool) {
    case PropertyTool::Cross:
    case PropertyTool::TimePrice:
        v.colour = 0xB76800;
        break;
    case PropertyTool::Takayasu:
    case PropertyTool::Text: // the text tool's value when the panels are made
        v.colour = 0x383838;
        break;
    case PropertyTool::RangeTime:
    case PropertyTool::RangeNedan:
    case PropertyTool::Line:
        v.colour = 0xB2B2B2;
        break;
    case PropertyTool::Memo:
        v.colour = 0x8A8A8A;
        break;
    default:
        return v;
    }
    if (tool == PropertyTool::Line) {
        v.lineStyle = settings::kLineSolid;
        return v;
    }
    v.fontFace = kDefaultFace;
    v.fontSize = kDefaultSize;
    if (isMeasure(tool))
        v.lineStyle = settings::kLineSolid;
    if (tool == PropertyTool::RangeNedan)
        v.yoko = 1;
    return v;
}

std::optional<std::string> confirmationProblem(const PropertyForm& form, const PropertyValues& shown) {
    if (form.sizeEnabled && !shown.fontSize.empty() && !fontSizeOf(shown.fontSize))
        return "フォントサイズは1から72までの数字で入力してください。";
    return std::nullopt;
}

void applyToToolDefaults(PropertyTool tool, const PropertyValues& v, ToolDefaults& defaults) {
    ToolStyle* style = styleOf(tool, defaults);
    if (!style)
        return;
    if (tool == PropertyTool::Line) {
        style->lineColor = v.colour;
        style->lineStyle = styleNumber(v.lineStyle, style->lineStyle);
        return;
    }
    style->textColor = v.colour;
    if (isMeasure(tool)) {
        style->lineColor = v.colour;
        style->lineStyle = styleNumber(v.lineStyle, style->lineStyle);
    }
    if (!v.fontFace.empty())
        style->fontFace = v.fontFace;
    if (const auto size = fontSizeOf(v.fontSize))
        style->fontSize = *size;
    if (tool == PropertyTool::RangeNedan && v.yoko >= 1 && v.yoko <= 3)
        defaults.rangeNedanYoko = v.yoko;
}

bool applyToElement(const PropertyValues& v, bool colourPicked, GraphDrawElement& e) {
    const GraphDrawElement before = e;
    if (!v.fontFace.empty())
        e.fontmenu = v.fontFace;
    if (const auto size = fontSizeOf(v.fontSize))
        e.font_size = *size;
    if (!v.lineStyle.empty())
        e.SetPenStyle(settings::lineStyleNumber(v.lineStyle).value_or(0)); // 0 draws solid
    if (colourPicked)
        e.font_cr = e.pen_cr = v.colour;
    return e.fontmenu != before.fontmenu || e.font_size != before.font_size ||
           e.penStyle != before.penStyle || e.font_cr != before.font_cr || e.pen_cr != before.pen_cr;
}

namespace {

bool carriesLabel(const GraphDrawElement& e) {
    return e.classname != kLineElm;
}
bool carriesLine(const GraphDrawElement& e) {
    return e.classname == kLineElm || e.classname == kRangeTimeElm || e.classname == kRangeNedanElm;
}
// The colour the panel shows: a price range shows its line's, as the tool's panel does.
ColorRef shownColour(const GraphDrawElement& e) {
    return e.classname == kLineElm || e.classname == kRangeNedanElm ? e.pen_cr : e.font_cr;
}

// Takes one element's value: the first one seen is shown, a different later one marks it mixed.
template <typename T>
void takeValue(std::optional<T>& first, bool& mixed, const T& value) {
    if (!first)
        first = value;
    else if (*first != value)
        mixed = true;
}

} // namespace

SelectionSummary summarizeSelection(const CodeAnnotations& lists, market::ChartPeriod shownFirst) {
    SelectionSummary summary;
    std::optional<std::string> size, face, style;
    std::optional<ColorRef> colour;
    auto take = [&](const GraphDrawList& list) {
        for (const GraphDrawElement* e : list.selectedElements()) {
            if (!e->view_bl)
                continue;
            ++summary.count;
            takeValue(colour, summary.colourMixed, shownColour(*e));
            if (carriesLabel(*e)) {
                takeValue(size, summary.sizeMixed, std::to_string(e->font_size));
                takeValue(face, summary.faceMixed, e->fontmenu);
            }
            if (carriesLine(*e))
                takeValue(style, summary.styleMixed, settings::lineStyleText(e->penStyle));
        }
    };
    take(lists.list(shownFirst));
    for (market::ChartPeriod p : market::kAllPeriods)
        if (p != shownFirst)
            take(lists.list(p));
    summary.values.fontSize = size.value_or("");
    summary.values.fontFace = face.value_or("");
    summary.values.lineStyle = style.value_or("");
    summary.values.colour = colour.value_or(0);
    return summary;
}

PropertyForm selectionForm(const SelectionSummary& summary) {
    PropertyForm f = propertyForm(PropertyTool::Select, {});
    f.values = summary.values;
    return f;
}

PropertyValues editedValues(const PropertyValues& shown, const PropertyValues& filled) {
    PropertyValues v = shown;
    if (v.fontSize == filled.fontSize)
        v.fontSize.clear();
    if (v.fontFace == filled.fontFace)
        v.fontFace.clear();
    if (v.lineStyle == filled.lineStyle)
        v.lineStyle.clear();
    return v;
}

std::vector<StepElements> applyToSelection(CodeAnnotations& lists, const PropertyValues& values,
                                           bool colourPicked) {
    std::vector<StepElements> changed;
    for (market::ChartPeriod p : market::kAllPeriods) {
        GraphDrawList& list = lists.list(p);
        StepElements part{&list, {}};
        for (GraphDrawElement* e : list.selectedElements())
            if (e->view_bl && applyToElement(values, colourPicked, *e))
                part.elements.push_back(e);
        if (!part.elements.empty())
            changed.push_back(std::move(part));
    }
    return changed;
}

} // namespace tavora::annotations

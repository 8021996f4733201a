#include "annotations/ToolProperties.h"
#include "annotations/LineElm.h"
#include "annotations/TextElm.h"
#include "chart/ChartSettings.h"

#include <gtest/gtest.h>

namespace tavora::annotations {
namespace {

using market::ChartPeriod;

TEST(ToolProperties, TheFirstPressedToolInTheFixedOrder) {
    chart::ToolFlags t;
    EXPECT_EQ(propertyToolOf(t), PropertyTool::None);
    t.memo = true;
    EXPECT_EQ(propertyToolOf(t), PropertyTool::Memo);
    t.select = true;
    EXPECT_EQ(propertyToolOf(t), PropertyTool::Select); // the selection comes before the memo
    t.line = true;
    EXPECT_EQ(propertyToolOf(t), PropertyTool::Line);
    t.cross = true;
    EXPECT_EQ(propertyToolOf(t), PropertyTool::Cross);
}

TEST(ToolProperties, FontSizesFromOneToSeventyTwo) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"1", 1},
                                                                {"9", 9},
                                                                {"72", 72},
                                                                {"0", std::nullopt},
                                                                {"73", std::nullopt},
                                                                {"", std::nullopt},
                                                                {"9a", std::nullopt},
                                                                {" 9", std::nullopt},
                                                                {"-3", std::nullopt},
                                                                {"99999999999", std::nullopt}};
    for (const auto& [text, size] : cases)
        EXPECT_EQ(fontSizeOf(text), size) << text;
}

struct FormCase {
    PropertyTool tool;
    framework::ColorRef colour;
    const char* size;
    const char* face;
    const char* style;
    bool sizeOn, styleOn, yokoOn, resetOn;
};

TEST(ToolProperties, EachToolShowsItsOwnDefaults) {
    chart::ToolDefaults d; // the values at panel creation
    d.rangeNedan.lineColor = 0x0000AA;
    d.rangeNedan.textColor = 0x00AA00;
    d.rangeNedanYoko = 2;
    d.cross.fontSize = 12;
    const FormCase cases[] = {
        {PropertyTool::Cross, 0xB76800, "12", "メイリオ", "―　実線", true, true, false, true},
        {PropertyTool::RangeNedan, 0x0000AA, "9", "メイリオ", "―　実線", true, true, true, true},
        {PropertyTool::Takayasu, 0x383838, "9", "メイリオ", "", true, false, false, true},
        {PropertyTool::Memo, 0x8A8A8A, "9", "メイリオ", "", true, false, false, true},
        {PropertyTool::Line, 0xB2B2B2, "", "", "―　実線", false, true, false, true},
        {PropertyTool::Select, 0, "", "", "", true, true, false, false},
        {PropertyTool::None, 0, "", "", "", false, false, false, false},
    };
    for (const auto& c : cases) {
        const PropertyForm f = propertyForm(c.tool, d);
        SCOPED_TRACE(int(c.tool));
        EXPECT_EQ(f.values.colour, c.colour);
        EXPECT_EQ(f.values.fontSize, c.size);
        EXPECT_EQ(f.values.fontFace, c.face);
        EXPECT_EQ(f.values.lineStyle, c.style);
        EXPECT_EQ(f.sizeEnabled, c.sizeOn);
        EXPECT_EQ(f.styleEnabled, c.styleOn);
        EXPECT_EQ(f.yokoEnabled, c.yokoOn);
        EXPECT_EQ(f.resetEnabled, c.resetOn);
    }
    EXPECT_EQ(propertyForm(PropertyTool::RangeNedan, d).values.yoko, 2);
    EXPECT_EQ(propertyForm(PropertyTool::None, d).values.yoko, 1);
}

TEST(ToolProperties, ResetShowsTheInitialValues) {
    const std::pair<PropertyTool, framework::ColorRef> colours[] = {
        {PropertyTool::Cross, 0xB76800},      {PropertyTool::TimePrice, 0xB76800},
        {PropertyTool::Takayasu, 0x383838},   {PropertyTool::RangeTime, 0xB2B2B2},
        {PropertyTool::RangeNedan, 0xB2B2B2}, {PropertyTool::Line, 0xB2B2B2},
        {PropertyTool::Text, 0x383838}, // what the text tool starts with
        {PropertyTool::Memo, 0x8A8A8A}};
    PropertyValues edited{"20", "Noto Sans", "…　点線", 0x123456, 3};
    for (const auto& [tool, colour] : colours) {
        const PropertyValues r = resetValues(tool, edited);
        EXPECT_EQ(r.colour, colour) << int(tool);
        EXPECT_EQ(r.fontSize, tool == PropertyTool::Line ? "20" : "9");
        const bool textOnly =
            tool == PropertyTool::Takayasu || tool == PropertyTool::Text || tool == PropertyTool::Memo;
        EXPECT_EQ(r.lineStyle, textOnly ? "…　点線" : "―　実線"); // boxes a tool does not use stay
        EXPECT_EQ(r.yoko, tool == PropertyTool::RangeNedan ? 1 : 3);
    }
    EXPECT_EQ(resetValues(PropertyTool::Select, edited), edited);
}

TEST(ToolProperties, AToolsValuesReachItsDefaultsAndTheSettings) {
    chart::ToolDefaults d;
    applyToToolDefaults(PropertyTool::Cross, {"14", "Noto Sans CJK JP", "－－破線", 0x0000FF, 1}, d);
    EXPECT_EQ(d.cross.lineColor, 0x0000FFu);
    EXPECT_EQ(d.cross.textColor, 0x0000FFu);
    EXPECT_EQ(d.cross.fontSize, 14);
    EXPECT_EQ(d.cross.lineStyle, 3);
    // The line keeps its label colour; only its line colour and style change.
    applyToToolDefaults(PropertyTool::Line, {"", "", "…　点線", 0x00FF00, 1}, d);
    EXPECT_EQ(d.line.lineColor, 0x00FF00u);
    EXPECT_EQ(d.line.textColor, 0x8A8A8Au);
    EXPECT_EQ(d.line.lineStyle, 2);
    applyToToolDefaults(PropertyTool::RangeNedan, {"9", "メイリオ", "―　実線", 0x111111, 2}, d);
    EXPECT_EQ(d.rangeNedanYoko, 2);

    settings::Settings s;
    chart::takeToolSettings(s, d);
    EXPECT_EQ(s.jyuji_sencr, 0x0000FFu);
    EXPECT_EQ(s.jyuji_fontcr, 0x0000FFu);
    EXPECT_EQ(s.jyuji_sensyu, settings::kLineDashed);
    EXPECT_EQ(s.jyuji_font, "Noto Sans CJK JP");
    EXPECT_EQ(s.jyuji_fontsize, 14);
    EXPECT_EQ(s.linesen_cr, 0x00FF00u);
    EXPECT_EQ(s.line_sensyu, settings::kLineDotted);
    EXPECT_EQ(s.rangenedan_yoko, 2);
    EXPECT_EQ(s.rangenedansen_cr, 0x111111u);
    // And back: the settings give the same defaults.
    chart::GraphViewState vs;
    chart::applySettings(vs, s);
    EXPECT_EQ(vs.toolDefaults.cross.lineStyle, 3);
    EXPECT_EQ(vs.toolDefaults.line.lineColor, 0x00FF00u);
}

TEST(ToolProperties, ASizeOutsideTheRangeIsRefused) {
    PropertyForm form = propertyForm(PropertyTool::Text, {});
    PropertyValues v = form.values;
    for (const char* size : {"0", "73", "100"}) {
        v.fontSize = size;
        EXPECT_TRUE(confirmationProblem(form, v)) << size;
    }
    v.fontSize = "72";
    EXPECT_FALSE(confirmationProblem(form, v));
    v.fontSize = ""; // an empty box changes nothing
    EXPECT_FALSE(confirmationProblem(form, v));
}

TEST(ToolProperties, AStyleOnlyChangeKeepsEveryElementsColour) {
    CodeAnnotations lists;
    lists.reset("1001");
    LineElm& red = lists.list(ChartPeriod::Day).createLine();
    red.pen_cr = red.font_cr = 0x0000FF;
    red.selected = true;
    TextElm& blue = lists.list(ChartPeriod::Month).createText();
    blue.font_cr = 0xFF0000;
    blue.selected = true;
    LineElm& untouched = lists.list(ChartPeriod::Day).createLine();
    untouched.pen_cr = 0x00FF00;

    const PropertyValues dotted{"", "", "…　点線", 0, 1}; // colour 0 shown, none picked
    const auto parts = applyToSelection(lists, dotted, false);
    ASSERT_EQ(parts.size(), 2u); // day and month, one step
    EXPECT_EQ(parts[0].list, &lists.list(ChartPeriod::Day));
    EXPECT_EQ(parts[0].elements, (std::vector<GraphDrawElement*>{&red}));
    EXPECT_EQ(parts[1].elements, (std::vector<GraphDrawElement*>{&blue}));
    EXPECT_EQ(red.penStyle, 2);
    EXPECT_EQ(blue.penStyle, 2);
    EXPECT_EQ(red.pen_cr, 0x0000FFu);
    EXPECT_EQ(blue.font_cr, 0xFF0000u);
    EXPECT_EQ(untouched.penStyle, 1);

    // A picked colour goes to text and line alike; a face and size where given.
    const auto recoloured = applyToSelection(lists, {"14", "Noto Sans", "", 0x00FFFF, 1}, true);
    ASSERT_EQ(recoloured.size(), 2u);
    EXPECT_EQ(red.pen_cr, 0x00FFFFu);
    EXPECT_EQ(red.font_cr, 0x00FFFFu);
    EXPECT_EQ(blue.font_size, 14);
    EXPECT_EQ(blue.fontmenu, "Noto Sans");
    EXPECT_EQ(blue.penStyle, 2);

    // The same values again change nothing, and nothing selected is nothing at all.
    EXPECT_TRUE(applyToSelection(lists, {"14", "Noto Sans", "", 0x00FFFF, 1}, true).empty());
    lists.list(ChartPeriod::Day).setSelected(false);
    lists.list(ChartPeriod::Month).setSelected(false);
    EXPECT_TRUE(applyToSelection(lists, dotted, true).empty());
}

// What the panel shows for a selection: the first element of the shown period, marks where the
// selected elements differ, and only the changed boxes reach them.
TEST(ToolProperties, ASelectionShowsItsFirstElementAndMarksWhatDiffers) {
    CodeAnnotations lists;
    lists.reset("1001");
    EXPECT_EQ(summarizeSelection(lists, ChartPeriod::Day).count, 0u);

    LineElm& weekLine = lists.list(ChartPeriod::Week).createLine();
    weekLine.pen_cr = 0x112233;
    weekLine.SetPenStyle(3);
    weekLine.selected = true;
    LineElm& dayLine = lists.list(ChartPeriod::Day).createLine();
    dayLine.pen_cr = 0x0000FF;
    dayLine.font_cr = 0x999999; // a line shows its line's colour
    dayLine.SetPenStyle(2);
    dayLine.selected = true;
    LineElm& unselected = lists.list(ChartPeriod::Day).createLine();
    unselected.pen_cr = 0x00FF00;

    // The week chart is shown: its line comes first.
    SelectionSummary week = summarizeSelection(lists, ChartPeriod::Week);
    EXPECT_EQ(week.count, 2u);
    EXPECT_EQ(week.values.colour, 0x112233u);
    EXPECT_EQ(week.values.lineStyle, "－－破線");
    EXPECT_TRUE(week.colourMixed);
    EXPECT_TRUE(week.styleMixed);
    EXPECT_EQ(week.values.fontSize, ""); // lines carry no label
    EXPECT_FALSE(week.sizeMixed);

    // One line alone: its values, nothing marked.
    weekLine.selected = false;
    const SelectionSummary one = summarizeSelection(lists, ChartPeriod::Week);
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(one.values.colour, 0x0000FFu);
    EXPECT_EQ(one.values.lineStyle, "…　点線");
    EXPECT_FALSE(one.colourMixed || one.styleMixed || one.sizeMixed || one.faceMixed);

    // A text adds face and size; its colour is the text's.
    TextElm& text = lists.list(ChartPeriod::Month).createText();
    text.font_cr = 0x0000FF;
    text.font_size = 12;
    text.fontmenu = "Noto Sans";
    text.selected = true;
    const SelectionSummary mixed = summarizeSelection(lists, ChartPeriod::Day);
    EXPECT_EQ(mixed.values.fontSize, "12");
    EXPECT_EQ(mixed.values.fontFace, "Noto Sans");
    EXPECT_EQ(mixed.values.lineStyle, "…　点線");
    EXPECT_FALSE(mixed.colourMixed);
    EXPECT_EQ(selectionForm(mixed).values, mixed.values);
    EXPECT_TRUE(selectionForm(mixed).styleEnabled);
    EXPECT_FALSE(selectionForm(mixed).resetEnabled);

    // Deleted elements are not part of it.
    text.view_bl = false;
    EXPECT_EQ(summarizeSelection(lists, ChartPeriod::Day).count, 1u);

    // Only the changed boxes are applied: the style shown (the first's) stays off the others.
    weekLine.selected = true;
    const PropertyValues filled = summarizeSelection(lists, ChartPeriod::Day).values;
    PropertyValues shown = filled;
    shown.fontSize = "20";
    const PropertyValues edited = editedValues(shown, filled);
    EXPECT_EQ(edited.fontSize, "20");
    EXPECT_EQ(edited.lineStyle, "");
    EXPECT_FALSE(applyToSelection(lists, edited, false).empty());
    EXPECT_EQ(weekLine.penStyle, 3);
    EXPECT_EQ(dayLine.penStyle, 2);
    EXPECT_EQ(unselected.pen_cr, 0x00FF00u);
}

} // namespace
} // namespace tavora::annotations

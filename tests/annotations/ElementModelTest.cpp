#include "annotations/CodeAnnotations.h"
#include "annotations/GraphDrawList.h"
#include "annotations/LineElm.h"
#include "annotations/RangeNedanElm.h"
#include "annotations/RangeTimeElm.h"
#include "annotations/TakayasuElm.h"
#include "annotations/TextElm.h"

#include <gtest/gtest.h>

#include <climits>

namespace tavora::annotations {
namespace {

using market::ChartPeriod;

struct FactoryCase {
    std::string_view className;
    int width, height, fontSize;
    ColorRef fontCr, penCr;
};

TEST(GraphDrawListTest, FactoryGivesEachKindItsDefaults) {
    const FactoryCase cases[] = {
        {kTakayasuElm, 80, 18, 9, 0x383838, 0},
        {kRangeTimeElm, 80, 19, 9, 0x8A8A8A, 0xB2B2B2},
        {kRangeNedanElm, 19, 19, 9, 0x8A8A8A, 0xB2B2B2},
        {kLineElm, 19, 19, 9, 0x8A8A8A, 0xB2B2B2},
        {kTextElm, 0, 0, 9, 0x383838, 0},
        {kMemoElm, 0, 0, 9, 0x383838, 0},
    };
    GraphDrawList list(ChartPeriod::Week);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.className));
        GraphDrawElement* e = list.create(c.className);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->classname, c.className);
        EXPECT_EQ(e->width, c.width);
        EXPECT_EQ(e->height, c.height);
        EXPECT_EQ(e->font_size, c.fontSize);
        EXPECT_EQ(e->font_cr, c.fontCr);
        EXPECT_EQ(e->pen_cr, c.penCr);
        EXPECT_EQ(e->fontmenu, "メイリオ");
        EXPECT_EQ(e->fontweight, 400);
        EXPECT_EQ(e->penStyle, 1);
        EXPECT_EQ(e->penWidth, 1);
        EXPECT_EQ(e->init_y_ichimemori, 1);
        EXPECT_EQ(e->init_x_haba_p, 1);
        EXPECT_TRUE(e->view_bl);
        EXPECT_TRUE(e->isKnownKind());
    }
    auto& range = static_cast<RangeNedanElm&>(list[2]);
    EXPECT_EQ(range.yoko_ichi, 3);
    EXPECT_EQ(range.startyonhonne, 0);
    EXPECT_EQ(range.endyonhonne, 0);
    EXPECT_EQ(list.kikan(), "w");
    EXPECT_EQ(list.create("CircleElm"), nullptr);
    EXPECT_EQ(list.size(), 6u);
}

TEST(GraphDrawListTest, IdsFollowTheLastElementAndCountPastDeletedOnes) {
    GraphDrawList list;
    EXPECT_EQ(list.nextId(), 1);
    EXPECT_EQ(list.createLine().id, 1);
    EXPECT_EQ(list.createText().id, 2);
    list[1].selected = true;
    ASSERT_EQ(list.deleteSelected().size(), 1u);
    EXPECT_FALSE(list[1].view_bl);
    EXPECT_EQ(list.createMemo().id, 3); // the deleted element keeps its number

    // Ids read from a document: the last one is not necessarily the largest, or may be the
    // largest int. A taken id is never handed out again.
    GraphDrawList crafted;
    crafted.createLine().id = 7;
    crafted.createLine().id = 6;
    EXPECT_EQ(crafted.nextId(), 1);
    crafted.createLine().id = INT_MAX;
    crafted[0].id = 1;
    EXPECT_EQ(crafted.nextId(), 2);
}

TEST(GraphDrawListTest, SelectionAndDeletion) {
    GraphDrawList list;
    list.createLine();
    list.createText();
    list.keepUnknown(3, "CircleElm", {});
    list.setSelected(true);
    EXPECT_TRUE(list[0].selected);
    EXPECT_TRUE(list[1].selected);
    EXPECT_FALSE(list[2].selected); // a kind the program does not know is never selected
    list[1].selected = false;
    auto deleted = list.deleteSelected();
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0], &list[0]);
    EXPECT_FALSE(list[0].view_bl);
    EXPECT_TRUE(list[1].view_bl);
    list.setSelected(false);
    EXPECT_TRUE(list.deleteSelected().empty());
}

TEST(GraphDrawListTest, ResetEmptiesAndChangesTheGeneration) {
    CodeAnnotations all;
    all.reset("7203");
    GraphDrawList& day = all.list(ChartPeriod::Day);
    const auto before = day.generation();
    GraphDrawElement* e = &day.createLine();
    EXPECT_TRUE(day.contains(e));
    all.foreign.push_back({});
    all.reset("6758");
    EXPECT_NE(day.generation(), before);
    EXPECT_TRUE(day.empty());
    EXPECT_TRUE(all.foreign.empty());
    EXPECT_EQ(all.code(), "6758");
    EXPECT_EQ(all.list(ChartPeriod::Year).code(), "6758");
    EXPECT_EQ(all.listOf("m"), &all.list(ChartPeriod::Month));
    EXPECT_EQ(all.listOf("q"), nullptr);
}

TEST(GraphDrawElementTest, SetDateSetsTheEndDateForTheKindsThatRepeatIt) {
    GraphDrawList list;
    struct Case {
        GraphDrawElement* element;
        bool endFollows;
    };
    const Case cases[] = {{&list.createLine(), false},    {&list.createRangeTime(), false},
                          {&list.createText(), true},     {&list.createMemo(), true},
                          {&list.createTakayasu(), true}, {&list.createRangeNedan(), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element->classname);
        c.element->SetEndDate("2020-01-01");
        c.element->SetDate("2026-12-09");
        EXPECT_EQ(c.element->date, "2026-12-09");
        EXPECT_EQ(c.element->date_number, 20261209);
        EXPECT_EQ(c.element->enddate, c.endFollows ? "2026-12-09" : "2020-01-01");
        EXPECT_EQ(c.element->enddate_number, c.endFollows ? 20261209 : 20200101);
    }
}

// Dates read from a document that are no real day give no date number (an eight-digit year
// once overflowed the packing year * 10000).
TEST(GraphDrawElementTest, DatesThatAreNoRealDayHaveNoNumber) {
    GraphDrawList list;
    GraphDrawElement& line = list.createLine();
    for (const char* text : {"99999999-1-1", "1969-99999999-1", "2026-02-30", "20261209", ""}) {
        line.SetDate(text);
        line.SetEndDate(text);
        EXPECT_EQ(line.date, text);
        EXPECT_EQ(line.date_number, 0) << text;
        EXPECT_EQ(line.enddate_number, 0) << text;
    }
    line.SetDate("2026/12/09");
    EXPECT_EQ(line.date_number, 20261209);
}

TEST(GraphDrawElementTest, KindColumnsCarryTheKindsOwnAndDefaultTheOthers) {
    GraphDrawList list;
    auto& text = list.createText();
    const KindColumns unused = text.kindColumns();
    EXPECT_EQ(unused.daycount, "");
    EXPECT_EQ(unused.nehaba, "");
    EXPECT_EQ(unused.startdate, "");
    EXPECT_EQ(unused.owaridate, "");
    EXPECT_EQ(unused.endyonhonne, 0);
    EXPECT_EQ(unused.startyonhonne, 0);
    EXPECT_EQ(unused.endpixel, 0);
    EXPECT_EQ(unused.endrange_y, 0);
    EXPECT_EQ(unused.yoko_ichi, 1);

    auto& range = list.createRangeNedan();
    KindColumns in;
    in.nehaba = "12.00";
    in.startyonhonne = 3;
    in.endyonhonne = 2;
    in.startdate = "2026-01-06";
    in.owaridate = "2026-01-08";
    in.daycount = "5";        // not a price range's column
    in.endrange_y = 9;        // nor this
    range.setKindColumns(in); // yoko_ichi absent (an old document): the factory value stays
    const KindColumns out = range.kindColumns();
    EXPECT_EQ(out.nehaba, "12.00");
    EXPECT_EQ(out.startyonhonne, 3);
    EXPECT_EQ(out.endyonhonne, 2);
    EXPECT_EQ(out.startdate, "2026-01-06");
    EXPECT_EQ(out.owaridate, "2026-01-08");
    EXPECT_EQ(out.yoko_ichi, 3);
    EXPECT_EQ(out.daycount, "");
    EXPECT_EQ(out.endrange_y, 0);

    auto& line = list.createLine();
    line.setKindColumns(in);
    EXPECT_EQ(line.kindColumns().endrange_y, 9);
    auto& count = list.createRangeTime();
    count.setKindColumns(in);
    EXPECT_EQ(count.kindColumns().daycount, "5");
}

TEST(GraphDrawElementTest, UnknownKindIsKeptAsReadAndNeverDrawn) {
    GraphDrawList list;
    framework::SQLListRow row;
    row.add(framework::SQLListElement::text("classname", "CircleElm"));
    row.add(framework::SQLListElement::integer("id", 4));
    GraphDrawElement& kept = list.keepUnknown(4, "CircleElm", row);
    kept.width = 50;
    kept.height = 50;
    EXPECT_FALSE(kept.isVisible());
    EXPECT_TRUE(list.chartAnnotations().empty());
    ASSERT_TRUE(kept.storedRow.has_value());
    EXPECT_EQ(kept.storedRow->value("classname"), "CircleElm");
    EXPECT_EQ(list.nextId(), 5);
}

TEST(GraphDrawElementTest, InitializeGoesBackToConstructionValues) {
    GraphDrawList list;
    auto& line = list.createLine();
    line.SetDate("2026-01-06");
    line.endrange_y = 5;
    line.str = "x";
    line.view_bl = false;
    line.initialize();
    EXPECT_EQ(line.classname, kLineElm);
    EXPECT_EQ(line.date, "");
    EXPECT_EQ(line.endrange_y, 0);
    EXPECT_EQ(line.str, "");
    EXPECT_TRUE(line.view_bl);
    EXPECT_EQ(line.width, 0);
}

} // namespace
} // namespace tavora::annotations

#include "annotations/DocumentHistory.h"

#include "annotations/CodeAnnotations.h"
#include "annotations/DocumentFile.h"
#include "annotations/LineElm.h"
#include "annotations/RangeNedanElm.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavora::annotations {
namespace {

using market::ChartPeriod;

const std::filesystem::path kFixtures = std::filesystem::path(TAVORA_FIXTURES) / "annotations";

// Every stored field of an element given a value of its own; `n` keeps elements apart.
void fillEveryField(GraphDrawElement& e, int n) {
    e.SetDate("2024-03-0" + std::to_string(1 + n % 8));
    e.SetEndDate("2024-04-1" + std::to_string(n % 10));
    e.hichi = 10 + n;
    e.vichi = 20 + n;
    e.takane_kijyun = n % 2 == 1;
    e.range_x = -30 - n;
    e.range_y = 40 + n;
    e.init_range_y = 50 + n;
    e.str = "注記 " + std::to_string(n) + "\r\n二行目";
    e.left = 60 + n;
    e.top = -70 - n;
    e.width = 80 + n;
    e.height = 90 + n;
    e.font_cr = 0x010203u + unsigned(n);
    e.font_size = 11;
    e.fontweight = 700;
    e.fontmenu = "Noto Sans CJK JP";
    e.pen_cr = 0x0A0B0Cu + unsigned(n);
    e.SetPenStyle(2);
    e.SetPenWidth(3);
    e.prev_pixel_to_yen = 0.5 + n;
    e.pixel_to_yen = 1.25 + n;
    e.init_y_ichimemori = 4;
    e.init_x_haba_p = 6;
    e.init_pixel_to_yen = 12.34567891 + n;
    e.view_bl = n % 3 != 0;
    KindColumns k;
    k.daycount = std::to_string(7 + n);
    k.nehaba = "12.50";
    k.endyonhonne = 3;
    k.startyonhonne = 1;
    k.endpixel = 99;
    k.startdate = "2024-02-01";
    k.owaridate = "2024-02-20";
    k.endrange_y = -9;
    k.yoko_ichi = 2;
    e.setKindColumns(k);
}

GraphCtrlRow rowOf(const GraphDrawElement& e, const GraphDrawList& list) {
    return rowOfElement(e, list.period(), list.code());
}

TEST(DocumentHistoryTest, EveryColumnOfEveryKindComesBackThroughAFile) {
    tavora::test::TempDir dir;
    ChartDocument document;
    document.working = WorkingDocument::createEmpty();
    DocumentHistory history(document);
    CodeAnnotations made;
    made.reset("7203");
    std::vector<GraphCtrlRow> expected;
    int n = 0;
    for (ChartPeriod p : market::kAllPeriods) {
        GraphDrawList& list = made.list(p);
        std::vector<GraphDrawElement*> elements;
        for (auto name : {kLineElm, kTextElm, kMemoElm, kTakayasuElm, kRangeTimeElm, kRangeNedanElm}) {
            GraphDrawElement* e = list.create(name);
            ASSERT_NE(e, nullptr);
            fillEveryField(*e, ++n);
            elements.push_back(e);
            expected.push_back(rowOf(*e, list));
        }
        history.recordStep(list, elements);
    }
    EXPECT_EQ(document.working.step(), 4);
    const std::string file = (dir / "all.tvrd").string();
    ASSERT_TRUE(writeDocument(file, document.working, {}));

    ChartDocument reopened;
    auto read = readDocument(file);
    ASSERT_TRUE(read.ok()) << read.error;
    reopened.working = std::move(read.document);
    CodeAnnotations loaded;
    loaded.reset("7203");
    DocumentHistory(reopened).load(loaded);
    std::vector<GraphCtrlRow> back;
    for (ChartPeriod p : market::kAllPeriods) {
        const GraphDrawList& list = loaded.list(p);
        for (std::size_t i = 0; i < list.size(); ++i)
            back.push_back(rowOf(list[i], list));
    }
    // Deleted elements are not saved; the others come back column for column.
    std::erase_if(expected, [](const GraphCtrlRow& r) { return !r.view_bl; });
    ASSERT_EQ(back.size(), expected.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        SCOPED_TRACE(expected[i].idkikancode());
        const auto a = back[i].values();
        const auto b = expected[i].values();
        for (int c = 0; c < GraphCtrlColumnCount; ++c)
            EXPECT_EQ(StoredRow(a).text(GraphCtrlColumn(c)), StoredRow(b).text(GraphCtrlColumn(c)))
                << kGraphCtrlColumns[std::size_t(c)].name;
    }
}

TEST(DocumentHistoryTest, RowsFromADocumentLoadSafelyAndKeepTheirIds) {
    ChartDocument document;
    document.working = WorkingDocument::createEmpty();
    GraphCtrlRow unknown;
    unknown.id = 7;
    unknown.classname = "ArrowElm";
    unknown.code = "7203";
    GraphCtrlRow line = unknown;
    line.id = 3;
    line.classname = "LineElm";
    line.init_y_ichimemori = 0; // a zoom would divide by it
    ASSERT_TRUE(document.working.recordStep({line, unknown}));
    CodeAnnotations lists;
    lists.reset("7203");
    DocumentHistory(document).load(lists);
    const GraphDrawList& day = lists.list(ChartPeriod::Day);
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day[0].init_y_ichimemori, 1);
    EXPECT_FALSE(day[1].isKnownKind());
    EXPECT_EQ(day.nextId(), 8); // a new element never takes the kept row's id
}

TEST(DocumentHistoryTest, AChangeToElementsOfSeveralPeriodsIsOneStep) {
    ChartDocument document;
    document.working = WorkingDocument::createEmpty();
    DocumentHistory history(document);
    CodeAnnotations lists;
    lists.reset("7203");
    GraphDrawElement* day = &lists.list(ChartPeriod::Day).createLine();
    GraphDrawElement* week = &lists.list(ChartPeriod::Week).createLine();
    history.recordStep(lists.list(ChartPeriod::Day), std::span(&day, 1));
    history.recordStep(lists.list(ChartPeriod::Week), std::span(&week, 1));
    day->SetPenStyle(2);
    week->SetPenStyle(2);
    const StepElements parts[] = {{&lists.list(ChartPeriod::Day), {day}}, {&lists.list(ChartPeriod::Week), {week}}};
    history.recordGroupStep(parts);
    EXPECT_EQ(document.working.highestStep(), 3);

    // One undo takes both back.
    ASSERT_TRUE(document.working.undo());
    lists.reset("7203");
    history.load(lists);
    ASSERT_EQ(lists.list(ChartPeriod::Day).size(), 1u);
    ASSERT_EQ(lists.list(ChartPeriod::Week).size(), 1u);
    EXPECT_EQ(lists.list(ChartPeriod::Day)[0].penStyle, 1);
    EXPECT_EQ(lists.list(ChartPeriod::Week)[0].penStyle, 1);
}

TEST(DocumentHistoryTest, AnOldDocumentsPriceRangeKeepsItsFactoryPlacementAndTextsReadAsJapanese) {
    auto old = readDocument((kFixtures / "old-document.tvrd").string());
    ASSERT_TRUE(old.ok()) << old.error;
    ChartDocument document;
    document.working = std::move(old.document);
    CodeAnnotations lists;
    lists.reset("7203");
    DocumentHistory(document).load(lists);
    const GraphDrawList& day = lists.list(ChartPeriod::Day);
    ASSERT_EQ(day.size(), 2u);
    const auto* range = dynamic_cast<const RangeNedanElm*>(&day[0]);
    ASSERT_NE(range, nullptr);
    GraphDrawList factory;
    EXPECT_EQ(range->yoko_ichi, factory.createRangeNedan().yoko_ichi); // 3: at the start bar
    EXPECT_EQ(range->kindColumns().owaridate, "2024-03-15");

    auto sjis = readDocument((kFixtures / "cp932-text.tvrd").string());
    ASSERT_TRUE(sjis.ok()) << sjis.error;
    document.working = std::move(sjis.document);
    lists.reset("7203");
    DocumentHistory(document).load(lists);
    ASSERT_EQ(lists.list(ChartPeriod::Day).size(), 1u);
    EXPECT_EQ(lists.list(ChartPeriod::Day)[0].str, "日本語のメモ－～");
    EXPECT_EQ(lists.list(ChartPeriod::Day)[0].fontmenu, "ＭＳ ゴシック");
}

} // namespace
} // namespace tavora::annotations

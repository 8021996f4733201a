// The bar list's operations and the week-start Sundays.
#include "market/Keisen.h"
#include "MarketTestSupport.h"
#include "market/DateList.h"

#include <gtest/gtest.h>

namespace tavora::market {
namespace {

using test::flat;
using test::makeDays;

TEST(KeisenElmTest, ParsesDatesWithEitherSeparatorAndFormatsPrices) {
    KeisenElm bar;
    bar.setDate("2024/3/7");
    EXPECT_EQ(bar.year, 2024);
    EXPECT_EQ(bar.month, 3);
    EXPECT_EQ(bar.day, 7);
    EXPECT_EQ(bar.dateNumber(), 20240307);
    bar.open = 1234.565;
    bar.close = 0.0;
    EXPECT_EQ(bar.openText(), "1234.57"); // as "%.2f" rounds the binary value 1234.5650000000001
    EXPECT_EQ(bar.closeText(), "0.00");
    EXPECT_EQ(bar.highText(), "");
}

TEST(KeisenElmTest, CombinesSplitRatiosOfOnePeriod) {
    KeisenElm bar;
    bar.combineSplit("3", 3.0);
    EXPECT_EQ(bar.split, "3");
    bar.combineSplit("2", 2.0);
    EXPECT_EQ(bar.split, "1.50");
}

TEST(KeisenElmTest, DropsAnAnalysisLineThatWouldNotFit) {
    KeisenElm bar;
    const std::string line(1000, 'x');
    EXPECT_TRUE(bar.appendAnalysisLine(line));
    EXPECT_FALSE(bar.appendAnalysisLine(std::string(24, 'y')));
    EXPECT_TRUE(bar.appendAnalysisLine(std::string(23, 'z')));
    EXPECT_EQ(bar.analysis.size(), KeisenElm::kMaxAnalysisText);
}

TEST(KeisenElmTest, WeekKeyRestartsOnFirstJanuary) {
    struct Case {
        const char* date;
        int key;
    };
    // 2024-12-30 is a Monday (week 53 of 2024, whose 1 January was a Monday); 2025-01-01 is a Wednesday
    // before the year's first Monday (week 0); 2025-01-06 is that Monday (week 1).
    for (const Case& c : {Case{"2024-12-30", 53}, Case{"2024-12-31", 53}, Case{"2025-01-01", 0},
                          Case{"2025-01-05", 0}, Case{"2025-01-06", 1}}) {
        KeisenElm bar;
        bar.setDate(c.date);
        EXPECT_EQ(bar.weekKey(), c.key) << c.date;
    }
}

class KeisenListTest : public ::testing::Test {
protected:
    // Newest first: index 0 = 2024-01-05 ... index 3 = 2024-01-02.
    KeisenList list = makeDays({flat("2024-01-02", 10, 5), flat("2024-01-03", 11, 50),
                                flat("2024-01-04", 12, 7), flat("2024-01-05", 13, 9)});
};

TEST_F(KeisenListTest, KeepsNewestFirstWithIdsInCreationOrder) {
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.newest()->date, "2024-01-05");
    EXPECT_EQ(list.oldest()->date, "2024-01-02");
    EXPECT_EQ(list.newest()->id, 1);
    KeisenElm& inserted = list.insertBefore(0);
    inserted.setDate("2024-01-09");
    EXPECT_EQ(inserted.id, 5);
    EXPECT_EQ(list.newest()->date, "2024-01-09");
    EXPECT_EQ(list.olderThan(*list.newest())->date, "2024-01-05");
    EXPECT_EQ(list.newerThan(*list.newest()), nullptr);
    EXPECT_EQ(list.olderThan(*list.oldest()), nullptr);
}

TEST_F(KeisenListTest, FindsByDateFromTheCursor) {
    KeisenElm* a = list.findByDate("2024-01-04");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->close, 12);
    // From the cursor on towards the tail, then back towards the head.
    EXPECT_EQ(list.findByDate("2024-01-02")->close, 10);
    EXPECT_EQ(list.findByDate("2024-01-05")->close, 13);
    EXPECT_EQ(list.findByDate("2024-01-06"), nullptr);
    list.reset();
    EXPECT_EQ(list.findByDate("2024-01-05"), nullptr);
    EXPECT_EQ(list.idCounter(), 0);
}

TEST_F(KeisenListTest, LooksUpPositionsMonthsAndVolumes) {
    EXPECT_EQ(list.positionOfDate("2024-01-02"), 1);
    EXPECT_EQ(list.positionOfDate("2024-01-05"), 4);
    EXPECT_EQ(list.positionOfDate("2024-02-01"), 0);
    EXPECT_EQ(list.positionOfBar(list[3], list[0]), 4);
    EXPECT_EQ(list.positionOfBar(list[1], list[1]), 1);
    EXPECT_EQ(list.positionOfBar(list[0], list[3]), 0);
    EXPECT_EQ(list.findByYearMonth(2024, 1), &list[0]);
    EXPECT_EQ(list.findByYearMonth(2024, 2), nullptr);
    EXPECT_EQ(list.largestVolume(), 50);
    EXPECT_EQ(KeisenList().largestVolume(), 0);
}

TEST_F(KeisenListTest, FindsTheBarAtOrAfterADate) {
    struct Case {
        const char* date;
        const char* found; // nullptr for none
    };
    for (const Case& c : {Case{"2024-01-03", "2024-01-03"}, Case{"2024-01-03x", "2024-01-04"},
                          Case{"2024-01-06", nullptr}, Case{"2024-01-01", nullptr}}) {
        const KeisenElm* bar = list.findAtOrAfter(c.date);
        if (!c.found)
            EXPECT_EQ(bar, nullptr) << c.date;
        else
            EXPECT_TRUE(bar && bar->date == c.found) << c.date;
    }
}

TEST_F(KeisenListTest, ClearValuesKeepsDates) {
    list[0].split = "2";
    list[0].analysis = "x";
    list.clearValues();
    EXPECT_EQ(list[0].date, "2024-01-05");
    EXPECT_FALSE(list[0].open);
    EXPECT_EQ(list[0].volume, 0);
    EXPECT_TRUE(list[0].split.empty());
    EXPECT_TRUE(list[0].analysis.empty());
}

TEST(DateListTest, HoldsEverySundayUpToSixtyMonthsAhead) {
    const DateList dates(framework::YmdDate{2026, 12, 9});
    ASSERT_FALSE(dates.empty());
    EXPECT_EQ(dates.first()->date, "1983-01-02");
    // 2031-12-09 is a Tuesday: the last Sunday not later than it is 2031-12-07.
    EXPECT_EQ(dates.last()->date, "2031-12-07");
    for (std::size_t i = 1; i < dates.size(); i += 997)
        EXPECT_EQ(framework::dayOfWeek(framework::splitDate(dates[i].date).year,
                                       framework::splitDate(dates[i].date).month,
                                       framework::splitDate(dates[i].date).day),
                  0);

    struct Case {
        const char* date;
        const char* found;
    };
    for (const Case& c : {Case{"2024-01-07", "2024-01-07"}, Case{"2024-01-03", "2024-01-07"},
                          Case{"1983-01-02", "1983-01-02"}, Case{"1983-01-01", nullptr},
                          Case{"2031-12-08", nullptr}, Case{"not a date", nullptr}}) {
        const DateElm* e = dates.find(c.date);
        if (!c.found)
            EXPECT_EQ(e, nullptr) << c.date;
        else
            EXPECT_TRUE(e && e->date == c.found) << c.date;
    }
}

} // namespace
} // namespace tavora::market

// The stock catalogue: symbols, search, copies, duplicate codes and attached splits.
#include "market/CodeList.h"
#include "market/Splits.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tavora::market {
namespace {

using Records = std::vector<std::vector<std::string>>;

TEST(CatalogueTest, DerivesTickerSymbols) {
    struct Case {
        const char* code;
        const char* market;
        const char* symbol;
    };
    for (const Case& c :
         {Case{"0001", "名証", "^N225"}, Case{"0002", "東証指数", "^TOPX"}, Case{"DJI", "米国指数", "^DJI"},
          Case{"NSD", "米国指数", "^IXIC"}, Case{"0010", "指数", "0010"}, Case{"SPX", "米国指数", "SPX"},
          Case{"HSI", "海外指数", "HSI"}, Case{"0003", "東証指数", "0003"}, Case{"0101", "大証指数", "0101"},
          Case{"1011", "福証", "1011.F"}, Case{"1006", "名証", "1006.N"}, Case{"1001", "札証", "1001.S"},
          Case{"7203", "東証プライム", "7203.T"}, Case{"7203", "", "7203.T"}})
        EXPECT_EQ(deriveSymbol(c.code, c.market), c.symbol) << c.code << " " << c.market;
}

class CatalogueListTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppendCodeRecords(list, Records{{"0001", "日経平均株価", "指数", "東証指数"},
                                        {"7203", "トヨタ自動車", "輸送用機器", "東証プライム", "extra"},
                                        {"short", "record"},
                                        {"7201", "日産自動車", "輸送用機器", "東証プライム"},
                                        {"7203", "トヨタ自動車（重複）", "輸送用機器", "名証"},
                                        {"1720", "東急建設", "建設業", "東証プライム"}});
    }
    CodeList list;
};

TEST_F(CatalogueListTest, TakesRecordsOfFourFieldsAndKeepsDuplicates) {
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[1].symbol, "7203.T");
    EXPECT_EQ(list[3].symbol, "7203.N");
    const CodeElm* found = FindCode(list, "7203");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &list[1]);
    EXPECT_EQ(FindCode(list, "720"), nullptr);
    EXPECT_EQ(FindCode(list, "short"), nullptr);
}

TEST_F(CatalogueListTest, SearchesCodesAndNamesBySubstring) {
    struct Case {
        const char* text;
        std::vector<std::string> codes;
    };
    for (const Case& c :
         {Case{"720", {"7203", "7201", "7203", "1720"}}, Case{"72", {"7203", "7201", "7203", "1720"}},
          Case{"自動車", {"7203", "7201", "7203"}}, Case{"重複", {"7203"}}, Case{"日", {"0001", "7201"}},
          Case{"9999", {}}}) {
        CodeList result;
        SearchCodes(list, c.text, result);
        std::vector<std::string> codes;
        for (const auto& e : result)
            codes.push_back(e.code);
        EXPECT_EQ(codes, c.codes) << c.text;
    }
}

TEST_F(CatalogueListTest, CopiesCarryTheTextsOnly) {
    list[1].splits.push_back({"2020-01-06", "2"});
    list[1].favourite = true;
    CodeList copy;
    copy.append(CodeElm{"x", "stale", "", "", "x.T", {}, false});
    CopyCodeList(copy, list);
    ASSERT_EQ(copy.size(), list.size());
    EXPECT_EQ(copy[1].name, "トヨタ自動車");
    EXPECT_EQ(copy[1].symbol, "7203.T");
    EXPECT_TRUE(copy[1].splits.empty());
    EXPECT_FALSE(copy[1].favourite);

    CodeList hits;
    SearchCodes(list, "7203", hits);
    EXPECT_TRUE(hits[0].splits.empty());
}

TEST_F(CatalogueListTest, AttachesSplitsToTheFirstEntryOfTheirCode) {
    AttachSplitRecords(list, Records{{"2020-01-06", "7203", "2"},
                                     {"2021-03-01", "9999", "3"},
                                     {"2022-07-01", "7203", "1.2345678"},
                                     {"2023-01-04", "7201"}});
    ASSERT_EQ(list[1].splits.size(), 2u);
    EXPECT_EQ(list[1].splits[0], (BunkatsuElm{"2020-01-06", "2"}));
    EXPECT_EQ(list[1].splits[1].ratio, "1.23456"); // the ratio text holds seven characters
    EXPECT_TRUE(list[3].splits.empty());
    EXPECT_TRUE(list[2].splits.empty());
}

TEST_F(CatalogueListTest, SplitRecordsWithoutARealDateAreSkippedAndLogged) {
    std::vector<std::string> skipped;
    AttachSplitRecords(list,
                       Records{{"20200106", "7203", "2"},
                               {"2020-02-30", "7203", "2"},
                               {"2020/03/02", "7203", "3"},
                               {"1969-99999999-1", "7203", "2"},
                               {"bad", "9999", "2"}}, // unknown codes are dropped before the date is read
                       &skipped);
    ASSERT_EQ(list[1].splits.size(), 1u);
    EXPECT_EQ(list[1].splits[0], (BunkatsuElm{"2020-03-02", "3"}));
    ASSERT_EQ(skipped.size(), 3u);
    EXPECT_NE(skipped[0].find("7203 \"20200106\""), std::string::npos) << skipped[0];
    EXPECT_NE(skipped[2].find("\"1969-99999999-1\""), std::string::npos) << skipped[2];
}

TEST(CatalogueFileTest, LoadsTheCodeListAndTheSplitFile) {
    tavora::test::TempDir dir;
    tavora::test::writeFile(dir / "code_info.csv", "\xEF\xBB\xBF"
                                                   "0001,日経平均株価,指数,東証指数\r\n"
                                                   "1006,サンプル鉄鋼,鉄鋼,名証\r\n"
                                                   "\r\n"
                                                   "1007,サンプル電機,電気機器\r\n"
                                                   "1008,サンプル自動車,輸送用機器,東証プライム,余分\r\n");
    tavora::test::writeFile(dir / "bunkatsudata.csv",
                            "2012-10-01,1008,2\n2021-04-01,1008,3\n2020-01-06,7777,2\n");
    CodeList list;
    ASSERT_TRUE(LoadCodeList(list, (dir / "code_info.csv").string()));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].code, "0001");
    EXPECT_EQ(list[0].symbol, "^N225");
    EXPECT_EQ(list[1].symbol, "1006.N");
    EXPECT_EQ(list[2].market, "東証プライム");
    ASSERT_TRUE(AttachSplits(list, (dir / "bunkatsudata.csv").string()));
    EXPECT_EQ(list[2].splits, (BunkatsuList{{"2012-10-01", "2"}, {"2021-04-01", "3"}}));

    CodeList untouched;
    const auto missing = LoadCodeList(untouched, (dir / "missing.csv").string());
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("missing.csv"), std::string::npos) << missing.message();
    EXPECT_EQ(missing.english(), missing.message()); // the reader's own text, in both places
    EXPECT_TRUE(untouched.empty());
}

} // namespace
} // namespace tavora::market

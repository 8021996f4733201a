#include "market/StockCode.h"

#include <gtest/gtest.h>

using namespace tavora;
using market::CodeProblem;

namespace {

struct CodeCase {
    const char* name;
    std::string text;
    std::string code; // the folded code; empty when refused
    CodeProblem problem = CodeProblem::None;
};

class StockCodeFolding : public ::testing::TestWithParam<CodeCase> {};

TEST_P(StockCodeFolding, FoldsOrRefuses) {
    const CodeCase& c = GetParam();
    const market::StockCode folded = market::foldStockCode(c.text);
    EXPECT_EQ(folded.problem, c.problem);
    EXPECT_EQ(folded.code, c.code);
    EXPECT_EQ(folded.ok(), c.problem == CodeProblem::None);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StockCodeFolding,
    ::testing::Values(
        CodeCase{"Plain", "1003", "1003"}, CodeCase{"BlanksAround", " \t7203 ", "7203"},
        CodeCase{"FullWidthDigits", "１００３", "1003"}, CodeCase{"LowerCaseMeetsTheCatalogue", "dji", "DJI"},
        CodeCase{"FullWidthLetters", "ｎ２２５", "N225"}, CodeCase{"NewStyleCode", "130a", "130A"},
        CodeCase{"SixteenCharacters", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        CodeCase{"Empty", "", "", CodeProblem::Empty}, CodeCase{"OnlyBlanks", "  ", "", CodeProblem::Empty},
        CodeCase{"IdeographicSpaceOnly", "\xE3\x80\x80", "", CodeProblem::Empty},
        CodeCase{"SeventeenCharacters", "ABCDEFGHIJKLMNOPQ", "", CodeProblem::TooLong},
        CodeCase{"FiveThousand", std::string(5000, '1'), "", CodeProblem::TooLong},
        CodeCase{"Nul", std::string("10\0" "03", 5), "", CodeProblem::Control},
        CodeCase{"Newline", "10\n03", "", CodeProblem::Control},
        CodeCase{"Escape", "\x1B]0;x\x07", "", CodeProblem::Control},
        CodeCase{"C1Control", "10\xC2\x85", "", CodeProblem::Control},
        CodeCase{"Comma", "10,03", "", CodeProblem::Separator},
        CodeCase{"InnerBlank", "10 03", "", CodeProblem::Separator},
        CodeCase{"InnerTab", "10\t03", "", CodeProblem::Separator},
        CodeCase{"Slash", "../1003", "", CodeProblem::Path},
        CodeCase{"FullWidthSlash", "10／03", "", CodeProblem::Path},
        CodeCase{"Backslash", "10\\03", "", CodeProblem::Path},
        CodeCase{"NotUtf8", "\x82\xA0", "", CodeProblem::NotText}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueCodesTest, MapsFoldedCodesOntoTheCatalogueSpelling) {
    const market::CatalogueCodes catalogue(std::vector<std::string>{"0001", "DJI", "n225x", "1003"});
    EXPECT_EQ(catalogue.find("1003"), "1003");
    EXPECT_EQ(catalogue.find("DJI"), "DJI");
    // A catalogue written in lower case is met, not folded away from.
    EXPECT_EQ(catalogue.find(market::foldStockCode("N225X").code), "n225x");
    EXPECT_EQ(catalogue.find(market::foldStockCode("ｄｊｉ").code), "DJI");
    EXPECT_FALSE(catalogue.find("9999").has_value());
    EXPECT_FALSE(catalogue.empty());
    EXPECT_TRUE(market::CatalogueCodes().empty());
}

} // namespace

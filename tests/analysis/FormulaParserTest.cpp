// The formula language: what parses (and how it prints back), what does not and where it
// stops, full-width input, and the limits that keep a hostile text harmless.
#include "analysis/FormulaParser.h"
#include "analysis/FormulaPrinter.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavora::analysis;

namespace {

struct ParsesCase {
    const char* what;
    std::string text;
    std::string printed; // the canonical text it prints back as
};

class FormulaParsesTest : public ::testing::TestWithParam<ParsesCase> {};

TEST_P(FormulaParsesTest, PrintsBackToATextOfTheSameTree) {
    const ParsesCase& c = GetParam();
    const FormulaParse p = ParseFormula(c.text);
    ASSERT_TRUE(p.ok()) << formulaErrorEnglish(p.error);
    const std::string printed = PrintFormula(*p.tree);
    EXPECT_EQ(printed, c.printed);
    const FormulaParse again = ParseFormula(printed);
    ASSERT_TRUE(again.ok()) << formulaErrorEnglish(again.error);
    EXPECT_TRUE(sameFormula(*p.tree, *again.tree));
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaParsesTest,
    ::testing::Values(
        ParsesCase{"movingAverage", "MA(C,25)", "MA(C,25)"},
        ParsesCase{"bollingerUpper", "MA(C,20)+2*STD(C,20)", "MA(C,20)+2*STD(C,20)"},
        ParsesCase{"midpoint", "(HHV(H,9)+LLV(L,9))/2", "(HHV(H,9)+LLV(L,9))/2"},
        ParsesCase{"emaDifference", "EMA(C,12)-EMA(C,26)+C", "EMA(C,12)-EMA(C,26)+C"},
        ParsesCase{"fullWidth", "ＭＡ（Ｃ，５）", "MA(C,5)"},
        ParsesCase{"fullWidthOperatorsAndSpace", "Ｈ　＋　Ｌ　－　Ｃ　＊　２　／　Ｖ", "H+L-C*2/V"},
        ParsesCase{"minusSignTimesDivide", "C × 2 ÷ 3 − O", "C*2/3-O"},
        ParsesCase{"lowerCaseAndBlanks", " ma ( c , 25 ) \t", "MA(C,25)"},
        ParsesCase{"everyFunction", "WMA(O,3)+SUM(V,2)+REF(C,1)+ABS(O-C)+MAX(H,L)+MIN(H,L)",
                   "WMA(O,3)+SUM(V,2)+REF(C,1)+ABS(O-C)+MAX(H,L)+MIN(H,L)"},
        ParsesCase{"precedence", "1+2*3-4/5", "1+2*3-4/5"},
        ParsesCase{"leftAssociative", "((C-O)-H)-L", "C-O-H-L"},
        ParsesCase{"rightOperandKeepsItsParentheses", "C-(O-H)", "C-(O-H)"},
        ParsesCase{"divisionOfAProduct", "C/(O*H)", "C/(O*H)"},
        ParsesCase{"redundantParentheses", "((((C))))", "C"}, ParsesCase{"unaryMinus", "-C*2", "-C*2"},
        ParsesCase{"minusOfASum", "-(C+O)", "-(C+O)"}, ParsesCase{"minusAfterOperator", "2*-C", "2*-C"},
        ParsesCase{"minusOfMinus", "- -C", "--C"}, ParsesCase{"decimals", "0.50*C+1.25", "0.5*C+1.25"},
        ParsesCase{"countWithLeadingZeros", "MA(C,0025)", "MA(C,25)"},
        ParsesCase{"largestCount", "MA(C,9999)", "MA(C,9999)"},
        ParsesCase{"nestedCalls", "MA(EMA(C,3)-REF(C,2),5)", "MA(EMA(C,3)-REF(C,2),5)"},
        ParsesCase{"constant", "100", "100"}),
    [](const auto& info) { return std::string(info.param.what); });

struct ErrorCase {
    const char* what;
    std::string text;
    FormulaErrorCode code;
    std::size_t position; // characters from 0
    bool atEnd;
};

class FormulaErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FormulaErrorTest, SaysWhereAndWhyItStops) {
    const ErrorCase& c = GetParam();
    const FormulaParse p = ParseFormula(c.text);
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(p.error.code, c.code) << formulaErrorEnglish(p.error);
    EXPECT_EQ(p.error.position, c.position) << formulaErrorEnglish(p.error);
    EXPECT_EQ(p.error.atEnd, c.atEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FormulaErrorTest,
    ::testing::Values(
        ErrorCase{"empty", "", FormulaErrorCode::Empty, 0, true},
        ErrorCase{"blanks", "  　 ", FormulaErrorCode::Empty, 4, true},
        ErrorCase{"unknownName", "MA(X,5)", FormulaErrorCode::UnknownName, 3, false},
        ErrorCase{"unknownFunction", "C+AVG(C,5)", FormulaErrorCode::UnknownName, 2, false},
        ErrorCase{"badCharacter", "C+$", FormulaErrorCode::BadCharacter, 2, false},
        ErrorCase{"japaneseCharacter", "Ｃ＋終値", FormulaErrorCode::BadCharacter, 2, false},
        ErrorCase{"invalidUtf8", "C+\xff", FormulaErrorCode::BadCharacter, 2, false},
        ErrorCase{"pointWithoutFraction", "C*1.", FormulaErrorCode::BadNumber, 2, false},
        ErrorCase{"pointWithoutInteger", "C*.5", FormulaErrorCode::BadNumber, 2, false},
        ErrorCase{"numberTooLarge", "C*" + std::string(400, '9'), FormulaErrorCode::NumberTooLarge, 2, false},
        ErrorCase{"sixteenDigits", "1000000000000000", FormulaErrorCode::NumberTooLarge, 0, false},
        ErrorCase{"roundsUpToSixteenDigits", "C+999999999999999.99", FormulaErrorCode::NumberTooLarge, 2,
                  false},
        ErrorCase{"danglingOperator", "C+", FormulaErrorCode::ExpectedValue, 2, true},
        ErrorCase{"twoOperators", "C*/O", FormulaErrorCode::ExpectedValue, 2, false},
        ErrorCase{"unaryPlus", "+C", FormulaErrorCode::ExpectedValue, 0, false},
        ErrorCase{"twoValues", "C O", FormulaErrorCode::ExpectedOperator, 2, false},
        ErrorCase{"extraCloseParen", "C)", FormulaErrorCode::ExpectedOperator, 1, false},
        ErrorCase{"unclosedParen", "(C+O", FormulaErrorCode::ExpectedCloseParen, 4, true},
        ErrorCase{"functionWithoutParen", "MA C", FormulaErrorCode::ExpectedOpenParen, 3, false},
        ErrorCase{"seriesCalled", "C(5)", FormulaErrorCode::ExpectedOperator, 1, false},
        ErrorCase{"missingCount", "MA(C)", FormulaErrorCode::ExpectedComma, 4, false},
        ErrorCase{"tooManyArguments", "ABS(C,5)", FormulaErrorCode::ExpectedCloseParen, 5, false},
        ErrorCase{"zeroCount", "MA(C,0)", FormulaErrorCode::BadCount, 5, false},
        ErrorCase{"fiveDigitCount", "MA(C,10000)", FormulaErrorCode::BadCount, 5, false},
        ErrorCase{"decimalCount", "SUM(C,2.5)", FormulaErrorCode::BadCount, 6, false},
        ErrorCase{"negativeCount", "REF(C,-1)", FormulaErrorCode::BadCount, 6, false},
        ErrorCase{"seriesAsCount", "HHV(H,C)", FormulaErrorCode::BadCount, 6, false},
        ErrorCase{"fullWidthPositionsCountCharacters", "ＭＡ（Ｃ，０）", FormulaErrorCode::BadCount, 5,
                  false},
        ErrorCase{"deepParentheses", std::string(4095, '('), FormulaErrorCode::TooDeep, 64, false},
        ErrorCase{"deepMinus", std::string(4094, '-') + "C", FormulaErrorCode::TooDeep, 64, false},
        ErrorCase{"tooLong", std::string(4096, ' ') + "C", FormulaErrorCode::TooLong, 4095, false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(FormulaLimitsTest, NestingUpToTheLimitParses) {
    const std::string text =
        std::string(kMaxFormulaNesting, '(') + "C" + std::string(kMaxFormulaNesting, ')');
    EXPECT_TRUE(ParseFormula(text).ok());
    const std::string deeper = "(" + text + ")";
    EXPECT_EQ(ParseFormula(deeper).error.code, FormulaErrorCode::TooDeep);
}

TEST(FormulaLimitsTest, ALongChainOfTermsIsRefusedBeforeItGetsTooTall) {
    std::string chain = "C";
    for (int i = 1; i < kMaxFormulaHeight / 2; ++i)
        chain += "+C";
    EXPECT_TRUE(ParseFormula(chain).ok());
    // 4,095 bytes of "+C": as tall a tree as the text allows.
    std::string longest = "C";
    while (longest.size() + 2 <= kMaxFormulaBytes)
        longest += "+C";
    const FormulaParse p = ParseFormula(longest);
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(p.error.code, FormulaErrorCode::TooDeep);
}

TEST(FormulaMessagesTest, NameThePlaceAsTheUserCountsIt) {
    const FormulaParse p = ParseFormula("ＭＡ（Ｃ，０）");
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(formulaErrorText(p.error), "6文字目: 本数は1から9999までの整数で書きます（MA(x,n)）");
    EXPECT_EQ(formulaErrorEnglish(p.error),
              "at character 6: the count must be a whole number from 1 to 9999 (MA(x,n))");

    const FormulaParse end = ParseFormula("MA(C,5");
    EXPECT_EQ(formulaErrorText(end.error), "式の終わり: 「)」が必要です（MA(x,n)）");
    EXPECT_EQ(formulaErrorEnglish(end.error), "at the end: ')' is needed (MA(x,n))");

    const FormulaParse name = ParseFormula("C+AVG(C,5)");
    EXPECT_EQ(formulaErrorText(name.error), "3文字目: 「AVG」という系列や関数はありません");
    EXPECT_EQ(formulaFailure(ParseFormula("").error).message, "式が入力されていません");
}

TEST(FormulaTreeTest, DifferentFormulasAreNotTheSame) {
    const auto a = ParseFormula("MA(C,5)");
    const auto b = ParseFormula("MA(C,6)");
    const auto c = ParseFormula("EMA(C,5)");
    const auto d = ParseFormula("MA(O,5)");
    const auto e = ParseFormula("C-O-H");
    const auto f = ParseFormula("C-(O-H)");
    EXPECT_TRUE(sameFormula(*a.tree, *a.tree));
    EXPECT_FALSE(sameFormula(*a.tree, *b.tree));
    EXPECT_FALSE(sameFormula(*a.tree, *c.tree));
    EXPECT_FALSE(sameFormula(*a.tree, *d.tree));
    EXPECT_FALSE(sameFormula(*e.tree, *f.tree));
}

} // namespace

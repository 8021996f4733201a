#include "analysis/BunsekiEditModel.h"
#include "analysis/BunsekiProgram.h"
#include "analysis/BunsekiTemplates.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavora::analysis;
using tavora::test::TempDir;
using tavora::test::writeFile;

namespace {

const BunsekiRow kTenkan{"転換線", "1", "255", "1", "1", "", "1", "9", ""};
const BunsekiRow kSpan1{"先行スパン1", "1", "36095", "2", "3", "", "3", "基準線", "転換線"};
const BunsekiRow kFormula{"式グラフ", "0", "65280", "3", "2", "a+b", "", "", ""};

class BunsekiEditModelTest : public ::testing::Test {
protected:
    std::string db() const { return (dir / "bunseki.db").string(); }
    void store(const std::vector<BunsekiRow>& rows) {
        BunsekiList list;
        ASSERT_EQ(SaveBunsekiTable(db(), rows, {}, list).outcome, BunsekiSaveOutcome::Saved);
    }
    TempDir dir;
};

TEST_F(BunsekiEditModelTest, ReadsTheStoredRowsInTableOrder) {
    store({kTenkan, kSpan1, kFormula});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);
    EXPECT_TRUE(model.readable());
    EXPECT_EQ(model.rows(), (std::vector<BunsekiRow>{kTenkan, kSpan1, kFormula}));
    EXPECT_FALSE(model.changed());
}

TEST_F(BunsekiEditModelTest, NothingStoredIsReadableAndEmpty) {
    BunsekiEditModel model;
    EXPECT_TRUE(model.load(db()).ok) << "missing file";
    EXPECT_FALSE(std::filesystem::exists(db())) << "reading creates nothing";
    tavora::framework::ZSqlElement conn;
    ASSERT_EQ(tavora::framework::SQL_Open(conn, db()), 0);
    ASSERT_EQ(tavora::framework::SQL_exec(conn, "CREATE TABLE other (x);"), 0);
    tavora::framework::SQL_Close(conn);
    EXPECT_TRUE(model.load(db()).ok) << "no table";
    EXPECT_TRUE(model.readable());
    EXPECT_TRUE(model.rows().empty());
}

TEST_F(BunsekiEditModelTest, AFileThatIsNoDatabaseIsUnreadable) {
    writeFile(dir / "bunseki.db",
              std::string("not a database at all, just some bytes\n") + std::string(600, 'x'));
    BunsekiEditModel model;
    const BunsekiResult read = model.load(db());
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
    EXPECT_FALSE(model.readable());
    EXPECT_TRUE(model.rows().empty());
}

TEST_F(BunsekiEditModelTest, RegisterUpdatesTheRowOfTheExactNameElseAppends) {
    store({kTenkan, kFormula});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);

    // A new half value of nine bars goes to the end with kind "1" and window "9".
    BunsekiDetail hanne;
    hanne.name = "半値9";
    hanne.colour = 0x0000FF;
    hanne.kind = KindHanne;
    hanne.hanneN = "9";
    EXPECT_EQ(model.registerDetail(hanne), 2u);
    EXPECT_EQ(model.rows()[2], (BunsekiRow{"半値9", "1", "255", "1", "1", "", "1", "9", ""}));

    // A name differing only by a trailing blank is another graph.
    BunsekiDetail other = detailOfRow(kTenkan);
    other.name = "転換線 ";
    EXPECT_EQ(model.registerDetail(other), 3u);

    // The formula graph's colour changes; with no kind chosen its kind and parameters stay.
    BunsekiDetail recolour = detailOfRow(kFormula);
    recolour.colour = 0x123456;
    recolour.shown = true;
    EXPECT_EQ(recolour.kind, 0);
    EXPECT_EQ(model.registerDetail(recolour), 1u);
    EXPECT_EQ(model.rows()[1], (BunsekiRow{"式グラフ", "1", "1193046", "3", "2", "a+b", "", "", ""}));
    EXPECT_TRUE(model.changed());

    EXPECT_TRUE(model.remove("転換線 "));
    EXPECT_FALSE(model.remove("ない"));
    EXPECT_EQ(model.rows().size(), 3u);
}

TEST_F(BunsekiEditModelTest, ALeadingSpanRegistersItsLabelsBackUnchanged) {
    store({kSpan1});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);
    BunsekiDetail d = detailOfRow(kSpan1);
    EXPECT_EQ(d.span1Param1, "基準線");
    EXPECT_EQ(d.span1Param2, "転換線");
    model.registerDetail(d);
    EXPECT_FALSE(model.changed());
}

TEST_F(BunsekiEditModelTest, TogglingShownFlipsOneAndZero) {
    store({kTenkan});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);
    model.toggleShown(0);
    EXPECT_EQ(model.rows()[0][1], "0");
    EXPECT_TRUE(model.changed());
    model.toggleShown(0);
    EXPECT_EQ(model.rows()[0][1], "1");
    EXPECT_FALSE(model.changed());
}

TEST(BunsekiDetail, ARowFillsEveryFieldFromItsDefault) {
    // A row of a kind the panel does not offer shows the defaults, never the previous row's values.
    const BunsekiDetail bare = detailOfRow({"名前", "0", "x", "9", "7", "", "7", "", ""});
    BunsekiDetail expected;
    expected.name = "名前";
    expected.shown = false;
    EXPECT_EQ(bare, expected);

    const BunsekiDetail chikou = detailOfRow({"遅行", "1", "32768", "2", "3", "", "2", "26", ""});
    EXPECT_EQ(chikou.kind, KindChikouSpan);
    EXPECT_EQ(chikou.chikouN, "26");
    EXPECT_EQ(chikou.hanneN, "");
    EXPECT_EQ(chikou.colour, 32768u);
    EXPECT_EQ(chikou.width, "2");
    EXPECT_EQ(chikou.sensyu, "3");
}

TEST(BunsekiDetail, RegistrationNeedsANameAndAWindowThatDraws) {
    struct Case {
        const char* name;
        int kind;
        const char* n;
        bool kindEditable;
        bool accepted;
    };
    const Case cases[] = {
        {"", 0, "", true, false},
        {"半値", KindHanne, "", true, false},
        {"半値", KindHanne, "0", true, false},
        {"半値", KindHanne, "1", true, true},
        {"半値", KindHanne, "9999", true, true},
        {"半値", KindHanne, "10000", true, false},
        {"半値", KindHanne, "9a", true, false},
        {"遅行", KindChikouSpan, "0", true, true},
        {"遅行", KindChikouSpan, "", true, false},
        {"転換線", KindHanne, "", false, true}, // a role graph's window is not the user's
        {"式", 0, "", true, true},
        {"平均", KindMovingAverage, "25", true, true},
        {"平均", KindMovingAverage, "0", true, false},
        {"平均", KindMovingAverage, "", true, false},
        {"平均", KindMovingAverage, "10000", true, false},
        {"指数", KindExponentialAverage, "9999", true, true},
        {"指数", KindExponentialAverage, "0", true, false},
        {"指数", KindExponentialAverage, "x", true, false},
    };
    for (const auto& c : cases) {
        BunsekiDetail d;
        d.name = c.name;
        d.kind = c.kind;
        d.hanneN = d.chikouN = d.smaN = d.emaN = c.n;
        EXPECT_EQ(!registrationProblem(d, c.kindEditable).has_value(), c.accepted) << c.name << " N=" << c.n;
    }
    BunsekiDetail unnamed;
    EXPECT_EQ(registrationProblem(unnamed, true),
              std::optional<std::string>("グラフ名が入力されていません。"));
}

TEST_F(BunsekiEditModelTest, MovingAveragesAndFormulasRegisterTheirKind) {
    store({kFormula});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);

    BunsekiDetail sma;
    sma.name = "移動平均25";
    sma.kind = KindMovingAverage;
    sma.smaN = "25";
    sma.emaN = "12"; // another kind's field is not written
    EXPECT_EQ(model.registerDetail(sma), 1u);
    EXPECT_EQ(model.rows()[1], (BunsekiRow{"移動平均25", "1", "0", "1", "1", "", "5", "25", ""}));
    const BunsekiDetail back = detailOfRow(model.rows()[1]);
    EXPECT_EQ(back.kind, KindMovingAverage);
    EXPECT_EQ(back.smaN, "25");
    EXPECT_EQ(back.emaN, "");

    BunsekiDetail ema = sma;
    ema.kind = KindExponentialAverage;
    ema.emaN = "12";
    model.registerDetail(ema);
    EXPECT_EQ(model.rows()[1], (BunsekiRow{"移動平均25", "1", "0", "1", "1", "", "6", "12", ""}));
    EXPECT_EQ(detailOfRow(model.rows()[1]).emaN, "12");

    // Turned into a formula: kind "0" and no parameters left over.
    BunsekiDetail formula = detailOfRow(model.rows()[1]);
    formula.kind = KindFormula;
    formula.formula = "MA(C,25)";
    model.registerDetail(formula);
    EXPECT_EQ(model.rows()[1], (BunsekiRow{"移動平均25", "1", "0", "1", "1", "MA(C,25)", "0", "", ""}));

    // A stored formula graph (kind "") shows "式" and registers back unchanged.
    const BunsekiDetail stored = detailOfRow(kFormula);
    EXPECT_EQ(stored.kind, KindFormula);
    EXPECT_EQ(stored.formula, "a+b");
    model.registerDetail(stored);
    EXPECT_EQ(model.rows()[0], kFormula);
}

TEST_F(BunsekiEditModelTest, TemplatesAddOrdinaryRowsAndLeaveExistingNamesAlone) {
    const auto templates = bunsekiTemplates();
    ASSERT_EQ(templates.size(), 3u);
    EXPECT_EQ(templates[0].caption, "移動平均 5/25/75");
    EXPECT_EQ(templates[1].caption, "移動平均 13/26 (週足向け)");
    EXPECT_EQ(templates[2].caption, "ボリンジャーバンド 20 (±2σ)");
    EXPECT_EQ(templates[0].rows[1], (BunsekiRow{"移動平均25", "1", "2263842", "1", "1", "", "5", "25", ""}));
    EXPECT_EQ(templates[1].rows[1][7], "26");
    ASSERT_EQ(templates[2].rows.size(), 3u);
    EXPECT_EQ(templates[2].rows[0][5], "MA(C,20)+2*STD(C,20)");
    EXPECT_EQ(templates[2].rows[1][5], "MA(C,20)");
    EXPECT_EQ(templates[2].rows[2][5], "MA(C,20)-2*STD(C,20)");
    for (const auto& t : templates)
        for (const BunsekiRow& row : t.rows) {
            // Every row draws: its kind has a program.
            EXPECT_TRUE(BunsekiProgramOf(AtoiText(row[6]), row[5], row[7])) << row[0];
            EXPECT_EQ(detailOfRow(row).name, row[0]);
        }

    BunsekiRow mine = templates[0].rows[1];
    mine[2] = "255"; // the user's own colour for 移動平均25
    store({kTenkan, mine});
    BunsekiEditModel model;
    ASSERT_TRUE(model.load(db()).ok);
    EXPECT_EQ(model.addRows(templates[0].rows), 2u);
    ASSERT_EQ(model.rows().size(), 4u);
    EXPECT_EQ(model.rows()[1], mine);
    EXPECT_EQ(model.rows()[2][0], "移動平均5");
    EXPECT_EQ(model.rows()[3][0], "移動平均75");
    EXPECT_EQ(model.addRows(templates[0].rows), 0u);
    EXPECT_EQ(model.addRows(templates[2].rows), 3u);
    EXPECT_EQ(model.rows().size(), 7u);
}

TEST(BunsekiDetail, TheFormulaFieldSaysWhetherItParsesAndWhereItStops) {
    const FormulaStatus ok = formulaStatus("ＭＡ（Ｃ，２５）");
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.text, "式を解釈できます。");
    const FormulaStatus bad = formulaStatus("MA(C,25");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.text, "式を解釈できません（式の終わり: 「)」が必要です（MA(x,n)））");
    EXPECT_EQ(formulaStatus("C*/2").text,
              "式を解釈できません（3文字目: ここには数、O H L C V、関数、または括弧が必要です）");
}

TEST(BunsekiDetail, RegisteringAFormulaThatDoesNotParseSaysItWillNotBeDrawn) {
    BunsekiDetail d;
    d.name = "式";
    d.kind = KindFormula;
    d.formula = "MA(C,";
    const auto notice = undrawnFormulaNotice(d, {"式", "1", "0", "1", "1", "MA(C,", "0", "", ""});
    ASSERT_TRUE(notice);
    EXPECT_EQ(*notice, "登録しましたが、式を解釈できないため、このグラフは描画されません。\n式の終わり: "
                       "本数は1から9999までの整数で書きます（MA(x,n)）");
    EXPECT_FALSE(undrawnFormulaNotice(d, {"式", "1", "0", "1", "1", "MA(C,5)", "", "", ""}));
    // "式" chosen with nothing written is said too; a row that never had a formula is not.
    EXPECT_TRUE(undrawnFormulaNotice(d, {"式", "1", "0", "1", "1", "", "0", "", ""}));
    BunsekiDetail none;
    EXPECT_FALSE(undrawnFormulaNotice(none, {"式", "1", "0", "1", "1", "", "", "", ""}));
    EXPECT_TRUE(undrawnFormulaNotice(none, {"式", "1", "0", "1", "1", "C+", "", "", ""}));
    // Not a formula graph: nothing to say about its formula text.
    EXPECT_FALSE(undrawnFormulaNotice(none, {"半値", "1", "0", "1", "1", "C+", "1", "9", ""}));
}

TEST(BunsekiDetail, RoleNames) {
    for (const char* name : {"転換線", "基準線", "遅行スパン", "先行スパン1", "先行スパン2"})
        EXPECT_TRUE(isRoleGraphName(name)) << name;
    EXPECT_FALSE(isRoleGraphName("転換線2"));
}

} // namespace

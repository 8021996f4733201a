#include "csv/CsvMapping.h"
#include "csv/CsvMappingStore.h"
#include "settings/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavora;
using csv::CsvMapping;

namespace {

TEST(CsvMappingTest, DefaultsAreTheKabuPlusLayoutAsStored) {
    const auto kv = csv::mappingKeyValues(CsvMapping());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"DT_kugirimoji", "カンマ"}, {"DT_taiouretsu", "retsu"},
        {"DT_retsu_cb_0", "1列目"},  {"DT_retsu_ed_0", "SC"},
        {"DT_retsu_cb_1", "2列目"},  {"DT_retsu_ed_1", "名称"},
        {"DT_retsu_cb_2", "3列目"},  {"DT_retsu_ed_2", "市場"},
        {"DT_retsu_cb_3", "4列目"},  {"DT_retsu_ed_3", "業種"},
        {"DT_retsu_cb_4", "5列目"},  {"DT_retsu_ed_4", "日付"},
        {"DT_retsu_cb_5", "10列目"}, {"DT_retsu_ed_5", "始値"},
        {"DT_retsu_cb_6", "11列目"}, {"DT_retsu_ed_6", "高値"},
        {"DT_retsu_cb_7", "12列目"}, {"DT_retsu_ed_7", "安値"},
        {"DT_retsu_cb_8", "6列目"},  {"DT_retsu_ed_8", "株価"},
        {"DT_retsu_cb_9", "14列目"}, {"DT_retsu_ed_9", "出来高"},
        {"DT_data_start", "2行目"},  {"DT_mojicode", "Shift-JIS"},
        {"DT_kakoi", "\""},          {"DT_zero", "-"},
        {"DT_code_shitei", "0"},     {"DT_code_shitei_ed", ""},
    };
    EXPECT_EQ(kv, expected);
}

TEST(CsvMappingTest, StoreRoundTripAndMissingKeys) {
    test::TempDir dir;
    const std::string db = (dir / "settei.db").string();
    EXPECT_EQ(csv::loadCsvMapping(db), CsvMapping()); // nothing stored: the defaults

    CsvMapping m;
    m.separator = csv::CsvSeparator::Tab;
    m.matchBy = csv::CsvMatchBy::Titles;
    m.rows[csv::RowVolume] = {25, "Volume"};
    m.rows[csv::RowName].title = "銘柄";
    m.dataStart = 3;
    m.encoding = framework::CsvEncoding::Utf16;
    m.quote = csv::CsvQuote::Single;
    m.zeroText = "";
    m.codeGiven = true;
    m.givenCode = "1003";
    ASSERT_TRUE(csv::storeCsvMapping(db, m));
    EXPECT_EQ(csv::loadCsvMapping(db), m);
    // Other settings stay as they are.
    ASSERT_TRUE(settings::SettingsStore(db).write({{"kabuplusid", "user"}}));
    EXPECT_EQ(csv::loadCsvMapping(db), m);
    EXPECT_EQ(settings::SettingsStore(db).load().kabuplusid, "user");
}

TEST(CsvMappingTest, StoredTextsNoControlOffers) {
    const CsvMapping m = csv::mappingFromStored({
        {"DT_kugirimoji", "セミコロン"},
        {"DT_taiouretsu", "other"},
        {"DT_retsu_cb_0", "26列目"}, // beyond the box: no column
        {"DT_retsu_cb_4", "abc"},
        {"DT_retsu_cb_5", "0列目"},
        {"DT_retsu_cb_6", "7列目"},
        {"DT_data_start", "4行目"},
        {"DT_mojicode", "EUC-JP"},
        {"DT_kakoi", "`"},
    });
    const CsvMapping d;
    EXPECT_EQ(m.separator, d.separator);
    EXPECT_EQ(m.matchBy, d.matchBy);
    EXPECT_EQ(m.rows[csv::RowCode].column, 0);
    EXPECT_EQ(m.rows[csv::RowDate].column, 0);
    EXPECT_EQ(m.rows[csv::RowOpen].column, 0);
    EXPECT_EQ(m.rows[csv::RowHigh].column, 7);
    EXPECT_EQ(m.rows[csv::RowCode].title, "SC"); // titles not stored keep theirs
    EXPECT_EQ(m.dataStart, 2);
    EXPECT_EQ(m.encoding, framework::CsvEncoding::ShiftJis);
    EXPECT_EQ(m.quote, csv::CsvQuote::Double);
    EXPECT_EQ(m.zeroText, "-");
}

TEST(CsvMappingTest, RolesAndBoxTexts) {
    EXPECT_EQ(csv::mappingRowOfRole("volume"), csv::RowVolume);
    EXPECT_EQ(csv::mappingRowOfRole("close"), csv::RowClose);
    EXPECT_FALSE(csv::mappingRowOfRole("name").has_value());
    EXPECT_EQ(csv::columnFromBoxText("25列目"), 25);
    EXPECT_EQ(csv::columnFromBoxText("1列目"), 1);
    EXPECT_EQ(csv::columnFromBoxText("列目"), 0);
    EXPECT_EQ(csv::columnBoxText(0), "");
}

} // namespace

#include "settings/SettingsStore.h"

#include "framework/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

namespace tavora::settings {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string path() const { return (m_dir / "settei.db").string(); }
    SettingsStore store() const { return SettingsStore(path()); }

    // The koumokutb rows as stored.
    std::map<std::string, std::string> rows() const {
        framework::ZSqlElement db;
        framework::SQL_Open(db, path());
        framework::SQLList list;
        framework::SQL_exec(db, "select * from koumokutb;", list);
        std::map<std::string, std::string> out;
        for (const auto& r : list.rows)
            out[r.value("koumoku")] = r.value("value");
        return out;
    }
    void store(const std::string& key, const std::string& value) const {
        ASSERT_TRUE(store().write({{key, value}}));
    }

    test::TempDir m_dir;
};

TEST_F(SettingsStoreTest, MissingOrEmptyDatabaseGivesDefaultsAndCreatesTheTable) {
    for (bool emptyFile : {false, true}) {
        if (emptyFile)
            test::writeFile(m_dir / "settei.db", "");
        const Settings loaded = store().load();
        EXPECT_EQ(SettingsStore::keyValues(loaded), SettingsStore::keyValues(Settings{}));
        EXPECT_FALSE(loaded.windowRect);
        EXPECT_TRUE(rows().empty());
        framework::ZSqlElement db;
        framework::SQL_Open(db, path());
        framework::SQLList list;
        EXPECT_EQ(framework::SQL_exec(db, "SELECT sql FROM sqlite_master WHERE name='koumokutb';", list), 0);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list.rows[0].value("sql") + ";", kCreateSettingsTableSql);
        struct stat st {};
        ASSERT_EQ(::stat(path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        std::filesystem::remove(path());
    }
}

TEST_F(SettingsStoreTest, DefaultsAreTheDocumentedOnes) {
    const Settings s;
    EXPECT_EQ(s.grbuckcr, 0xFCFCFCu);
    EXPECT_EQ(s.memo_cr, 0x8A8A8Au);
    EXPECT_EQ(s.jyuji_sencr, 0xB76800u);
    EXPECT_EQ(s.x_sen_cb, "―　実線");
    EXPECT_EQ(s.jyuji_font, "メイリオ");
    EXPECT_EQ(s.d_x_haba_p, 5);
    EXPECT_EQ(s.y_y_ichimemori, 2);
    EXPECT_EQ(s.refserver_port, "60000");
    EXPECT_EQ(s.adpanelWidth(), 1);
}

TEST_F(SettingsStoreTest, CompanionFlagsAreOnOnlyForOne) {
    const std::vector<std::pair<std::string, bool>> cases{{"1", true}, {"0", false},  {"yes", false},
                                                          {"", false}, {"01", false}, {"2", false}};
    for (const auto& [text, on] : cases) {
        store("sync_moravel_db", text);
        store("use_moravel_day_data", text);
        const Settings s = store().load();
        EXPECT_EQ(s.sync_moravel_db, on) << "'" << text << "'";
        EXPECT_EQ(s.use_moravel_day_data, on) << "'" << text << "'";
    }
}

TEST_F(SettingsStoreTest, AdpanelViewTypeMapsToAWidth) {
    const std::vector<std::pair<std::string, int>> cases{{"ADPANEL_WIDTH_TYPE_NOT_VIEW", 0},
                                                         {"ADPANEL_WIDTH_TYPE_VIEW", 1},
                                                         {"ADPANEL_WIDTH_TYPE_LARGE_VIEW", 2},
                                                         {"adpanel_width_type_not_view", 1},
                                                         {"", 1},
                                                         {"2", 1}};
    for (const auto& [text, width] : cases) {
        store("adpanel_view_type", text);
        EXPECT_EQ(store().load().adpanelWidth(), width) << text;
    }
}

TEST_F(SettingsStoreTest, CodeListInUseFollowsTheOwnListThenTheAutomaticRefresh) {
    struct Case {
        const char* own;
        const char* autoFlag;
        const char* expected;
    };
    const std::vector<Case> cases{{"/home/u/list.csv", "0", "/home/u/list.csv"},
                                  {"/home/u/list.csv", "1", "/r/others/code_info.csv"},
                                  {"", "0", "/r/others/code_info.csv"},
                                  {"", "1", "/r/others/code_info.csv"}};
    for (const auto& c : cases) {
        store("codelistcsvpath", c.own);
        store("codeauto_ch", c.autoFlag);
        EXPECT_EQ(SettingsStore::codeListInUse(store().load(), "/r/others/code_info.csv"), c.expected)
            << c.own << " " << c.autoFlag;
    }
}

TEST_F(SettingsStoreTest, LabelColoursFollowTheirLinesUnlessStored) {
    store("jyuji_sencr", "255");
    store("linesen_cr", "65280");
    Settings s = store().load();
    EXPECT_EQ(s.jyuji_fontcr, 255u);
    EXPECT_EQ(s.linefont_cr, 65280u);
    store("jyuji_fontcr", "16711680");
    store("linefont_cr", "0");
    s = store().load();
    EXPECT_EQ(s.jyuji_fontcr, 16711680u);
    EXPECT_EQ(s.linefont_cr, 0u);
}

TEST_F(SettingsStoreTest, ExitSaveWritesItsKeysInOrderAndReadsBack) {
    Settings s;
    s.jyuji_sencr = 0x123456;
    s.jyuji_font = "Noto Sans CJK JP";
    s.rangetime_sensyu = kLineDashed;
    s.w_x_haba_p = 11;
    s.buckupcreate_ch = false;
    s.kabupluspw = "not written at exit";
    s.windowRect = WindowRect{10, 20, 810, 620};
    ASSERT_TRUE(store().saveExit(s));

    const auto exitRows = SettingsStore::exitKeyValues(s);
    ASSERT_EQ(exitRows.size(), 42u);
    EXPECT_EQ(exitRows.front().first, "jyuji_sencr");
    EXPECT_EQ(exitRows.back(), (std::pair<std::string, std::string>{"buckupcreate_ch", "0"}));
    EXPECT_EQ(rows().size(), 42u + 4u);

    const Settings back = store().load();
    EXPECT_EQ(back.jyuji_sencr, 0x123456u);
    EXPECT_EQ(back.jyuji_font, "Noto Sans CJK JP");
    EXPECT_EQ(back.rangetime_sensyu, kLineDashed);
    EXPECT_EQ(back.w_x_haba_p, 11);
    EXPECT_FALSE(back.buckupcreate_ch);
    EXPECT_TRUE(back.kabupluspw.empty());
    EXPECT_EQ(back.windowRect, s.windowRect);
}

// The last-used pitch and tick go straight into the chart geometry (5 x tick, 50 x tick):
// values outside the zoom steps take the defaults, as in the per-code scale.
TEST_F(SettingsStoreTest, ScaleKeysOutsideTheZoomStepsTakeTheDefaults) {
    store("d_x_haba_p", "21");
    store("w_x_haba_p", "2147483647");
    store("m_x_haba_p", "1");
    store("d_y_ichimemori", "10");
    store("w_y_ichimemori", "2147483647");
    store("m_y_ichimemori", "-3");
    const Settings s = store().load();
    EXPECT_EQ(s.d_x_haba_p, 21);
    EXPECT_EQ(s.w_x_haba_p, 5);
    EXPECT_EQ(s.m_x_haba_p, 5);
    EXPECT_EQ(s.d_y_ichimemori, 10);
    EXPECT_EQ(s.w_y_ichimemori, 2);
    EXPECT_EQ(s.m_y_ichimemori, 2);
}

TEST_F(SettingsStoreTest, TheFileTimeBoundIsReadWithinItsRangeElseTheDefault) {
    EXPECT_EQ(store().load().kabuplus_file_timeout, 120);
    const struct {
        const char* stored;
        int read;
    } cases[] = {{"2", 2}, {"86400", 86400}, {"0", 120}, {"-5", 120}, {"86401", 120}, {"abc", 120}, {"", 120}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        store("kabuplus_file_timeout", c.stored);
        EXPECT_EQ(store().load().kabuplus_file_timeout, c.read);
    }
}

TEST_F(SettingsStoreTest, ColourSaveWritesTheTwelveKeysOnlyWhenSomethingChanged) {
    const Settings loaded;
    EXPECT_EQ(store().saveColours(loaded, loaded), SaveOutcome::Unchanged);
    EXPECT_TRUE(rows().empty());

    Settings edited = loaded;
    edited.title_cr = 0x0000FF;
    edited.y_sen_cb = kLineDotted;
    EXPECT_EQ(store().saveColours(loaded, edited), SaveOutcome::Saved);
    const auto stored = rows();
    EXPECT_EQ(stored.size(), 12u);
    EXPECT_EQ(stored.at("title_cr"), "255");
    EXPECT_EQ(stored.at("y_sen_cb"), kLineDotted);
    EXPECT_EQ(SettingsStore::colourKeyValues(edited).front().first, "grbuckcr");
    EXPECT_EQ(SettingsStore::colourKeyValues(edited).back().first, "y_sen_cb");
}

TEST_F(SettingsStoreTest, UnopenableDatabaseKeepsDefaultsAndSkipsSaves) {
    const SettingsStore broken((m_dir / "missing-dir" / "settei.db").string());
    EXPECT_EQ(SettingsStore::keyValues(broken.load()), SettingsStore::keyValues(Settings{}));
    EXPECT_FALSE(broken.saveExit(Settings{}));
    Settings edited;
    edited.grbuckcr = 0x010203;
    EXPECT_EQ(broken.saveColours(Settings{}, edited), SaveOutcome::Failed);
}

TEST(LineStyles, TextsMapToNumbers) {
    EXPECT_EQ(lineStyleNumber("―　実線"), 1);
    EXPECT_EQ(lineStyleNumber("…　点線"), 2);
    EXPECT_EQ(lineStyleNumber("－－破線"), 3);
    EXPECT_FALSE(lineStyleNumber("solid"));
    for (int n : {1, 2, 3})
        EXPECT_EQ(lineStyleNumber(lineStyleText(n)), n);
}

} // namespace
} // namespace tavora::settings

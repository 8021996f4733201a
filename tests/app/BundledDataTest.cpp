#include "app/core/BundledData.h"

#include "chart/OpenChart.h"
#include "market/CodeList.h"
#include "market/MarketCalendar.h"
#include "market/PriceDatabase.h"
#include "market/Splits.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using tavora::app::AppPaths;
using tavora::app::BundledDataResult;
using tavora::framework::ZSqlElement;
using tavora::market::PriceDatabase;
using tavora::market::PriceRow;
using tavora::test::readFile;
using tavora::test::ScopedEnv;
using tavora::test::TempDir;
using tavora::test::writeFile;

namespace {

AppPaths pathsUnder(const fs::path& root) {
    AppPaths paths;
    paths.root = root.string();
    paths.othersDir = (root / "others").string();
    paths.marketDayDir = (root / "marketday").string();
    return paths;
}

class BundledDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_tmp / "kabukadb");
        ASSERT_EQ(PriceDatabase::open(m_db, (m_tmp / "kabukadb").string()), 0);
    }

    std::vector<PriceRow> rowsOf(const std::string& code) {
        return PriceDatabase(m_db).rowsOldestFirst(code);
    }

    fs::path dataDir() const { return m_tmp / "data"; }

    TempDir m_tmp;
    ZSqlElement m_db;
};

TEST_F(BundledDataTest, CopiesMissingReferenceFilesAndNeverOverwrites) {
    writeFile(dataDir() / "others" / "code_info.csv", "0001,bundled\n");
    writeFile(dataDir() / "others" / "bunseki.csv", "bundled graphs\n");
    writeFile(dataDir() / "marketday" / "marketday_jpn.csv", "2026-12-09\n");
    const fs::path root = m_tmp / "root";
    writeFile(root / "others" / "code_info.csv", "0001,the user's list\n");

    const BundledDataResult first = tavora::app::copyBundledReferenceFiles(dataDir(), pathsUnder(root));
    EXPECT_TRUE(first.ok()) << first.errorText();
    EXPECT_EQ(readFile(root / "others" / "code_info.csv"), "0001,the user's list\n");
    EXPECT_EQ(readFile(root / "others" / "bunseki.csv"), "bundled graphs\n");
    EXPECT_EQ(readFile(root / "marketday" / "marketday_jpn.csv"), "2026-12-09\n");
    EXPECT_EQ(first.copiedFiles,
              (std::vector<std::string>{(root / "others" / "bunseki.csv").string(),
                                        (root / "marketday" / "marketday_jpn.csv").string()}));
    // Nothing but the targets is left in the folders (no temporary copies).
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(root / "others"))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"bunseki.csv", "code_info.csv"}));

    // A later start, after the server refreshed a file, keeps the refreshed file.
    writeFile(root / "others" / "bunseki.csv", "server graphs\n");
    const BundledDataResult second = tavora::app::copyBundledReferenceFiles(dataDir(), pathsUnder(root));
    EXPECT_TRUE(second.ok()) << second.errorText();
    EXPECT_TRUE(second.copiedFiles.empty());
    EXPECT_EQ(readFile(root / "others" / "bunseki.csv"), "server graphs\n");
}

TEST_F(BundledDataTest, ReportsAFileThatCannotBeCopied) {
    writeFile(dataDir() / "others" / "code_info.csv", "0001,bundled\n");
    const fs::path root = m_tmp / "root";
    // The others "directory" is a plain file, so nothing can be written below it.
    writeFile(root / "others", "not a directory");

    const BundledDataResult result = tavora::app::copyBundledReferenceFiles(dataDir(), pathsUnder(root));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.errorText().find((root / "others").string()), std::string::npos) << result.errorText();
    EXPECT_TRUE(result.copiedFiles.empty());
}

TEST_F(BundledDataTest, RegistersPricesOnlyIntoAnEmptyTable) {
    writeFile(dataDir() / "prices" / "1001.csv",
              "2026-12-07,100,110,95,105,1200\r\n2026-12-08,0,0,0,0,0\r\n2026-12-09,104,106,101,102,800\r\n");
    writeFile(dataDir() / "prices" / "0001.csv", "\xEF\xBB\xBF"
                                                 "2026-12-09,38000.25,38100.5,37950,38050.75,2000000000\n");
    writeFile(dataDir() / "prices" / "README.txt", "not a price file\n");

    const BundledDataResult first = tavora::app::registerBundledPrices(dataDir(), m_db);
    ASSERT_TRUE(first.ok()) << first.errorText();
    EXPECT_EQ(first.codesRegistered, 2u);
    EXPECT_EQ(first.rowsRegistered, 4u);
    const auto rows = rowsOf("1001");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (PriceRow{"1001", "2026-12-07", 100.0, 110.0, 95.0, 105.0, 1200}));
    // A day without trade keeps its date and has no prices.
    EXPECT_EQ(rows[1],
              (PriceRow{"1001", "2026-12-08", std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0}));
    EXPECT_EQ(rowsOf("0001"), (std::vector<PriceRow>{
                                  {"0001", "2026-12-09", 38000.25, 38100.5, 37950.0, 38050.75, 2000000000}}));

    // Once kabukadb holds rows, the bundled prices are never written again, even when the
    // user's rows for these codes differ.
    writeFile(dataDir() / "prices" / "1002.csv", "2026-12-09,1,1,1,1,1\n");
    const BundledDataResult second = tavora::app::registerBundledPrices(dataDir(), m_db);
    EXPECT_TRUE(second.ok()) << second.errorText();
    EXPECT_TRUE(second.pricesSkipped);
    EXPECT_EQ(second.codesRegistered, 0u);
    EXPECT_TRUE(rowsOf("1002").empty());
}

TEST_F(BundledDataTest, LeavesATableWithAnyRowAlone) {
    PriceDatabase db(m_db);
    ASSERT_TRUE(db.write({{"9999", "2020-01-06", 1.0, 2.0, 0.5, 1.5, 10}}).ok());
    writeFile(dataDir() / "prices" / "1001.csv", "2026-12-09,104,106,101,102,800\n");

    const BundledDataResult result = tavora::app::registerBundledPrices(dataDir(), m_db);
    EXPECT_TRUE(result.ok()) << result.errorText();
    EXPECT_TRUE(result.pricesSkipped);
    EXPECT_TRUE(rowsOf("1001").empty());
    EXPECT_EQ(rowsOf("9999").size(), 1u);
}

TEST_F(BundledDataTest, ReportsAClosedDatabase) {
    ZSqlElement closed;
    writeFile(dataDir() / "prices" / "1001.csv", "2026-12-09,104,106,101,102,800\n");
    const BundledDataResult result = tavora::app::registerBundledPrices(dataDir(), closed);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.errorText().empty());
}

struct MalformedCase {
    const char* name;
    std::string content;
    int badLine; // the line the message names; 0 when it names none
};

class MalformedPriceFileTest : public BundledDataTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedPriceFileTest, IsReportedAndNoneOfItsRowsStored) {
    const MalformedCase& c = GetParam();
    writeFile(dataDir() / "prices" / "1001.csv",
              "2026-12-08,100,110,95,105,1200\n2026-12-09,104,106,101,102,800\n");
    writeFile(dataDir() / "prices" / "1002.csv", c.content);

    const BundledDataResult result = tavora::app::registerBundledPrices(dataDir(), m_db);
    EXPECT_FALSE(result.ok());
    ASSERT_EQ(result.errors.size(), 1u) << result.errorText();
    EXPECT_NE(result.errors[0].find("1002.csv"), std::string::npos) << result.errors[0];
    if (c.badLine > 0) {
        EXPECT_NE(result.errors[0].find(" " + std::to_string(c.badLine) + "行目"), std::string::npos)
            << result.errors[0];
    }
    EXPECT_TRUE(rowsOf("1002").empty());
    // The valid file is stored all the same.
    EXPECT_EQ(result.codesRegistered, 1u);
    EXPECT_EQ(rowsOf("1001").size(), 2u);
}

const std::string kGoodLine = "2026-12-07,100,110,95,105,1200\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedPriceFileTest,
    ::testing::Values(MalformedCase{"MissingVolume", kGoodLine + "2026-12-08,100,110,95,105\n", 2},
                      MalformedCase{"ExtraField", kGoodLine + "2026-12-08,100,110,95,105,1,9\n", 2},
                      MalformedCase{"EmptyField", kGoodLine + "2026-12-08,100,,95,105,1\n", 2},
                      MalformedCase{"PriceNotANumber", kGoodLine + "\n2026-12-08,100,11O,95,105,1\n", 3},
                      MalformedCase{"NegativePrice", kGoodLine + "2026-12-08,-100,110,95,105,1\n", 2},
                      MalformedCase{"VolumeWithDecimals", kGoodLine + "2026-12-08,100,110,95,105,1.5\n", 2},
                      MalformedCase{"SlashDate", kGoodLine + "2026/12/08,100,110,95,105,1\n", 2},
                      MalformedCase{"NoSuchDay", kGoodLine + "2026-02-30,100,110,95,105,1\n", 2},
                      MalformedCase{"HeaderLine", "date,open,high,low,close,volume\n" + kGoodLine, 1},
                      MalformedCase{"DatesNotAscending", kGoodLine + kGoodLine, 2},
                      MalformedCase{"NoRows", "\r\n\r\n", 0}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return std::string(info.param.name); });

TEST(BundledDataDirTest, FindsTheFolderBesideTheExecutableOrUnderTheInstallPrefix) {
    TempDir tmp;
    ScopedEnv env(tavora::app::kDataDirEnv, std::nullopt);
    const fs::path buildBin = tmp / "build" / "bin";
    fs::create_directories(buildBin / "data");
    const fs::path prefixBin = tmp / "prefix" / "bin";
    fs::create_directories(prefixBin);
    fs::create_directories(tmp / "prefix" / "share" / "tavora");

    EXPECT_EQ(tavora::app::findBundledDataDir(buildBin), buildBin / "data");
    EXPECT_EQ(tavora::app::findBundledDataDir(prefixBin), tmp / "prefix" / "share" / "tavora");
    EXPECT_EQ(tavora::app::findBundledDataDir(tmp / "nowhere"), std::nullopt);
    EXPECT_EQ(tavora::app::findBundledDataDir(fs::path{}), std::nullopt);
}

TEST(BundledDataDirTest, TheEnvironmentVariableDecidesWhenSet) {
    TempDir tmp;
    const fs::path buildBin = tmp / "bin";
    fs::create_directories(buildBin / "data");
    fs::create_directories(tmp / "elsewhere");
    {
        ScopedEnv env(tavora::app::kDataDirEnv, (tmp / "elsewhere").c_str());
        EXPECT_EQ(tavora::app::findBundledDataDir(buildBin), tmp / "elsewhere");
    }
    {
        ScopedEnv env(tavora::app::kDataDirEnv, (tmp / "missing").c_str());
        EXPECT_EQ(tavora::app::findBundledDataDir(buildBin), std::nullopt);
    }
}

// ---------------------------------------------------------------------------------------
// The data folder that ships with the program.

std::vector<std::vector<std::string>> readRecords(const fs::path& file, char separator) {
    std::vector<std::vector<std::string>> records;
    std::istringstream in(readFile(file));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == separator) {
                fields.push_back(line.substr(start, i - start));
                start = i + 1;
            }
        }
        records.push_back(std::move(fields));
    }
    return records;
}

std::set<std::string> calendarDays(const std::string& name) {
    std::set<std::string> days;
    for (const auto& record : readRecords(fs::path(TAVORA_DATA_DIR) / "marketday" / name, ','))
        days.insert(record.at(0));
    return days;
}

TEST(ShippedDataTest, CalendarsListTradingDaysInOrder) {
    struct Day {
        const char* calendar;
        const char* date;
        bool trading;
    };
    // Days checked against the exchanges' published calendars.
    const Day days[] = {
        {"marketday_jpn.csv", "2019-04-30", false}, // 国民の休日 around the accession
        {"marketday_jpn.csv", "2019-10-22", false}, // 即位礼正殿の儀
        {"marketday_jpn.csv", "2020-07-24", false}, // スポーツの日, moved for the Olympics
        {"marketday_jpn.csv", "2020-10-12", true},  // no 体育の日 in October 2020
        {"marketday_jpn.csv", "2021-08-09", false}, // 山の日 on a Sunday, substitute Monday
        {"marketday_jpn.csv", "2026-09-22", false}, // 国民の休日 between two holidays
        {"marketday_jpn.csv", "2026-12-30", true},  // last session of the year
        {"marketday_jpn.csv", "2026-12-31", false}, {"marketday_jpn.csv", "2027-01-04", true},
        {"marketday_jpn.csv", "1989-02-24", false}, // 大喪の礼
        {"marketday_usa.csv", "2012-10-29", false}, // Hurricane Sandy
        {"marketday_usa.csv", "2021-12-31", true},  // New Year's Day on a Saturday: not observed
        {"marketday_usa.csv", "2022-06-20", false}, // Juneteenth observed
        {"marketday_usa.csv", "2026-04-03", false}, // Good Friday
        {"marketday_usa.csv", "2027-06-18", false}, // Juneteenth on a Saturday: Friday
        {"marketday_usa.csv", "2026-11-27", true},  // the day after Thanksgiving
    };
    std::map<std::string, std::set<std::string>> calendars;
    for (const char* name : {"marketday_jpn.csv", "marketday_usa.csv"}) {
        calendars[name] = calendarDays(name);
        const auto records = readRecords(fs::path(TAVORA_DATA_DIR) / "marketday" / name, ',');
        ASSERT_GT(records.size(), 10000u);
        EXPECT_EQ(records.front().at(0).substr(0, 4), "1983");
        EXPECT_EQ(records.back().at(0).substr(0, 4), "2027");
        EXPECT_EQ(calendars[name].size(), records.size()) << name << ": duplicate or unordered days";
        EXPECT_EQ(*calendars[name].rbegin(), records.back().at(0)) << name;
    }
    for (const Day& day : days)
        EXPECT_EQ(calendars[day.calendar].count(day.date) == 1, day.trading)
            << day.calendar << " " << day.date;
}

TEST(ShippedDataTest, EveryCatalogueEntryHasConsistentPricesOnItsCalendar) {
    const fs::path data(TAVORA_DATA_DIR);
    const auto jpn = calendarDays("marketday_jpn.csv");
    const auto usa = calendarDays("marketday_usa.csv");
    std::multimap<std::string, std::string> splits; // code -> date
    for (const auto& record : readRecords(data / "others" / "bunkatsudata.csv", ','))
        splits.emplace(record.at(1), record.at(0));

    TempDir tmp;
    ZSqlElement db;
    ASSERT_EQ(PriceDatabase::open(db, tmp.str()), 0);
    const BundledDataResult result = tavora::app::registerBundledPrices(data, db);
    ASSERT_TRUE(result.ok()) << result.errorText();

    const auto catalogue = readRecords(data / "others" / "code_info.csv", ',');
    ASSERT_GE(catalogue.size(), 16u);
    EXPECT_EQ(result.codesRegistered, catalogue.size());
    std::set<std::string> sectors(tavora::app::sectorNames().begin(), tavora::app::sectorNames().end());
    for (const auto& entry : catalogue) {
        ASSERT_EQ(entry.size(), 4u);
        const std::string& code = entry[0];
        EXPECT_EQ(sectors.count(entry[2]), 1u) << code << " sector " << entry[2];
        const auto& calendar = entry[3] == "米国指数" ? usa : jpn;
        const auto rows = PriceDatabase(db).rowsOldestFirst(code);
        ASSERT_GT(rows.size(), 15u * 240u) << code;
        for (const auto& row : rows) {
            ASSERT_EQ(calendar.count(row.date), 1u) << code << " " << row.date << " is not a trading day";
            if (!row.open)
                continue; // a day without trade
            ASSERT_TRUE(row.high && row.low && row.close) << code << " " << row.date;
            EXPECT_TRUE(*row.low <= *row.open && *row.open <= *row.high && *row.low <= *row.close &&
                        *row.close <= *row.high)
                << code << " " << row.date;
            EXPECT_GT(row.volume, 0) << code << " " << row.date;
        }
        // Each split day is a trading day with prices, so the chart can mark it.
        const auto [first, end] = splits.equal_range(code);
        for (auto it = first; it != end; ++it) {
            EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                                    [&](const PriceRow& r) { return r.date == it->second && r.open; }))
                << code << " split " << it->second;
        }
    }
}

// A first start: the shipped data installed into an empty root opens every catalogue entry
// as a chart whose split-adjusted day series runs on without a jump at any split.
TEST(ShippedDataTest, AFirstStartOpensEveryCodeAsAContinuousChart) {
    TempDir tmp;
    const AppPaths paths = pathsUnder(tmp.path());
    ZSqlElement db;
    ASSERT_EQ(PriceDatabase::open(db, tmp.str()), 0);
    BundledDataResult installed = tavora::app::copyBundledReferenceFiles(TAVORA_DATA_DIR, paths);
    installed.merge(tavora::app::registerBundledPrices(TAVORA_DATA_DIR, db));
    ASSERT_TRUE(installed.ok()) << installed.errorText();

    tavora::market::CodeList catalogue;
    ASSERT_TRUE(tavora::market::LoadCodeList(catalogue, paths.othersDir + "/code_info.csv"));
    ASSERT_TRUE(tavora::market::AttachSplits(catalogue, paths.othersDir + "/bunkatsudata.csv"));
    ASSERT_GE(catalogue.size(), 16u);
    EXPECT_EQ(catalogue[0].code, "0001");
    std::size_t splitBars = 0;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const auto& entry = catalogue[i];
        tavora::chart::OpenChartInput input;
        input.priceDb = &db;
        input.code = entry.code;
        input.splits = entry.splits;
        input.calendarPath = tavora::market::ChooseCalendar(entry, paths.marketDayDir);
        const tavora::chart::ChartSeries series = tavora::chart::OpenChart(input);
        const auto& day = series.period(tavora::market::ChartPeriod::Day).bars;
        ASSERT_GT(day.size(), 15u * 240u) << entry.code;
        // The calendar carries the chart past the last price into the future.
        EXPECT_GE(day.newest()->dateNumber(), 20271201) << entry.code;
        std::optional<double> previousClose;
        for (auto bar = day.rbegin(); bar != day.rend(); ++bar) {
            if (!bar->split.empty())
                ++splitBars;
            if (!bar->close || *bar->close <= 0)
                continue;
            if (previousClose) {
                const double change = *bar->close / *previousClose;
                EXPECT_TRUE(change > 0.75 && change < 1.33)
                    << entry.code << " " << bar->date << " " << change;
            }
            previousClose = bar->close;
        }
    }
    EXPECT_EQ(splitBars, 3u);
}

TEST(ShippedDataTest, AnalysisGraphsAreTheFiveIchimokuLines) {
    const auto records = readRecords(fs::path(TAVORA_DATA_DIR) / "others" / "bunseki.csv", '\t');
    const std::vector<std::vector<std::string>> expected{
        {"転換線", "1", "255", "1", "1", "", "1", "9", ""},
        {"基準線", "1", "16711680", "1", "1", "", "1", "26", ""},
        {"遅行スパン", "1", "32768", "1", "1", "", "2", "26", ""},
        {"先行スパン1", "1", "36095", "1", "1", "", "3", "基準線", "転換線"},
        {"先行スパン2", "1", "8388736", "1", "1", "", "4", "52", ""},
    };
    EXPECT_EQ(records, expected);
}

} // namespace

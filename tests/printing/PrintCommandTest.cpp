// `tavora-cli print` run as a program on a fresh application root filled from the bundled
// sample data (no display, a fixed today), its PDF read back with poppler.
#include "PdfTools.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using tavora::printing::test::pdfField;
using tavora::printing::test::pdfInfo;
using tavora::printing::test::pdfPages;
using tavora::printing::test::pdfText;

// Without a display, on a fresh data folder, on a fixed day.
tavora::test::CliRun cli(const tavora::test::TempDir& root, const std::string& args) {
    return tavora::test::runCli(
        root.path(), "print " + args,
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TAVORA_TODAY=2026-12-08");
}

// The lines of standard error that tavora-cli wrote itself.
std::vector<std::string> ownLines(const std::string& err) {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("tavora-cli", 0) == 0)
            lines.push_back(line);
    return lines;
}

// Rows of the bundled index whose date lies in [from, to] ("YYYY-MM" bounds).
int sampleDays(const std::string& from, const std::string& to) {
    std::ifstream in(TAVORA_DATA_DIR "/prices/0001.csv");
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        const std::string month = line.substr(0, 7);
        n += month >= from && month <= to;
    }
    return n;
}

TEST(PrintCommand, WritesTheSheetsOfTheRangeAndCountsThem) {
    tavora::test::TempDir root;
    const int days = sampleDays("2026-01", "2026-06");
    ASSERT_GT(days, 100);
    struct Case {
        std::string args;
        int pages;
    };
    const Case cases[] = {
        {"--from 2026-01 --to 2026-06", (days * 2 + 249) / 250},
        {"--from 2026-01 --to 2026-06 --bar narrow", (days + 249) / 250},
        {"--from 2026-01 --to 2026-06 --orientation landscape", (days * 2 + 349) / 350},
        {"--from 2016-01 --to 2025-12", (sampleDays("2016-01", "2025-12") * 2 + 249) / 250},
    };
    for (const Case& c : cases) {
        const std::string pdf = (root / "out.pdf").string();
        const auto run = cli(root, "0001 --out '" + pdf + "' " + c.args);
        ASSERT_EQ(run.status, 0) << c.args << ": " << run.err;
        EXPECT_EQ(run.out, "wrote " + pdf + ": " + std::to_string(c.pages) + (c.pages == 1 ? " page" : " pages") +
                               "\n")
            << c.args;
        EXPECT_EQ(pdfPages(pdf), c.pages) << c.args;
    }
}

// Ranges that print nothing are refused with the reason, and no file is written.
TEST(PrintCommand, RefusesARangeWithNothingToPrint) {
    tavora::test::TempDir root;
    const std::string pdf = (root / "empty.pdf").string();
    struct Case {
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"--from 2026-06 --to 2026-01",
         "tavora-cli: nothing to print: the range starts (2026-06) after it ends (2026-01)"},
        // After the newest bar and the calendar's coming market days.
        {"--from 2031-01", "tavora-cli: nothing to print: the day chart has no prices from 2031-01 on"},
        // Only coming market days, without prices.
        {"--from 2027-01", "tavora-cli: nothing to print: the day chart has no prices from 2027-01 on"},
        // The start left out is January of this year.
        {"--to 1999-12", "tavora-cli: nothing to print: the range starts (2026-01) after it ends (1999-12)"},
        {"--from 1990-01 --to 1999-12",
         "tavora-cli: nothing to print: the day chart has no prices from 1990-01 to 1999-12"},
        {"--period y --from 2031-01", "tavora-cli: nothing to print: the year chart has no prices from 2031 on"},
    };
    for (const Case& c : cases) {
        const auto run = cli(root, "0001 --out '" + pdf + "' " + c.args);
        EXPECT_EQ(run.status, 1) << c.args << ": " << run.err;
        // One line of ours (Qt may add its own notes about the environment).
        const std::vector<std::string> said = ownLines(run.err);
        ASSERT_EQ(said.size(), 1u) << c.args << ": " << run.err;
        EXPECT_EQ(said[0].rfind(c.message, 0), 0u) << c.args << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.args;
        EXPECT_FALSE(std::filesystem::exists(pdf)) << c.args;
    }
}

TEST(PrintCommand, DefaultsAreTheDialogsAndTheTextIsSearchable) {
    tavora::test::TempDir root;
    const std::string pdf = (root / "nikkei.pdf").string();
    // From January of this year to the newest bar, the step of the chart's scale (5,000: the
    // index rose above 50,000 within the last 1,002 days) and the bottom price three steps
    // below today's close of 40,356.25 cut to a whole step: 25,000.
    auto run = cli(root, "0001 --out '" + pdf + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string said = "wrote " + pdf + ": ";
    ASSERT_EQ(run.out.rfind(said, 0), 0u) << run.out;
    const int pages = std::stoi(run.out.substr(said.size()));
    EXPECT_GE(pages, 2);
    EXPECT_EQ(run.out, said + std::to_string(pages) + " pages\n");
    EXPECT_EQ(pdfPages(pdf), pages);
    const std::string info = pdfInfo(pdf);
    EXPECT_EQ(pdfField(info, "Title"), "日経平均株価日足") << info;
    EXPECT_EQ(pdfField(info, "Page size"), "595 x 842 pts (A4)") << info;
    // Qt names a glyph shared by a kanji and its Kangxi radical (日 and ⽇) by the radical,
    // so text is checked where no such kanji stands.
    std::string text = pdfText(pdf, 1, 1);
    for (const char* t : {"経平均株価", "0001 東証指数 指数", "25000", "60000", "2026", "01"})
        EXPECT_NE(text.find(t), std::string::npos) << t << " in:\n" << text;

    run = cli(root,
              "0001 --out '" + pdf + "' --period w --step 5000 --lowest 30000 --scheme grey --lines 50,10");
    ASSERT_EQ(run.status, 0) << run.err;
    text = pdfText(pdf);
    for (const char* t : {"30000", "35000", "65000", "週"})
        EXPECT_NE(text.find(t), std::string::npos) << t << " in:\n" << text;
}

TEST(PrintCommand, RefusesBadArgumentsAndUnknownCodes) {
    tavora::test::TempDir root;
    const std::string out = " --out '" + (root / "x.pdf").string() + "'";
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"0001", 2, "--out"},
        {"--out x.pdf", 2, "no code"},
        {"0001" + out + " --period q", 2, "--period"},
        {"0001" + out + " --from 2026-13", 2, "--from"},
        {"0001" + out + " --to 26-01", 2, "--to"},
        {"0001" + out + " --step 0", 2, "--step"},
        {"0001" + out + " --lowest -5", 2, "--lowest"},
        {"0001" + out + " --lines 50,7", 2, "--lines"},
        {"0001" + out + " --bar huge", 2, "--bar"},
        {"0001" + out + " --scheme red", 2, "--scheme"},
        {"0001" + out + " --orientation up", 2, "--orientation"},
        {"0001" + out + " --bogus", 2, "unknown option"},
        {"9999" + out, 1, "no code 9999"},
        {"0001 --out '" + (root / "no" / "such" / "x.pdf").string() + "'", 1, "cannot write"},
    };
    for (const Case& c : cases) {
        const auto run = cli(root, c.args);
        EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.args;
    }
}

} // namespace

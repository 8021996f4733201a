// tavora-cli speaks English: the error paths of its commands print English lines, with
// Japanese only inside quotes where a line names a file, a code or a caption as the program
// spells it. The panels keep their Japanese texts (their own tests check them).
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tavora;

namespace {

// The code points of UTF-8 text; an invalid byte stands for itself.
std::vector<char32_t> codePoints(const std::string& text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80           ? 1
                              : (b >> 5) == 0x6  ? 2
                              : (b >> 4) == 0xE  ? 3
                              : (b >> 3) == 0x1E ? 4
                                                 : 1;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(c);
        i += n;
    }
    return out;
}

bool isJapanese(char32_t c) {
    return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF); // kana, kanji, full-width forms
}

// The first line that holds a Japanese character outside 「」, '' or "" quotes; empty when none.
std::string lineWithJapaneseOutsideQuotes(const std::string& text) {
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        char32_t closing = 0; // the quote that ends the quoted span we are in
        for (char32_t c : codePoints(line)) {
            if (closing) {
                if (c == closing)
                    closing = 0;
            } else if (c == U'「') {
                closing = U'」';
            } else if (c == U'\'' || c == U'"') {
                closing = c;
            } else if (isJapanese(c)) {
                return line;
            }
        }
    }
    return {};
}

TEST(CliLanguageCheck, FindsJapaneseOutsideQuotesOnly) {
    EXPECT_EQ(
        lineWithJapaneseOutsideQuotes("refused: the title 「見出し」 is unknown\nno prices for '日経'\n"),
        "");
    EXPECT_EQ(lineWithJapaneseOutsideQuotes("ok\n計 3件, 0 skipped\n"), "計 3件, 0 skipped");
    EXPECT_EQ(lineWithJapaneseOutsideQuotes("tavora-cli: ユーザーIDに「:」は使えません。\n"),
              "tavora-cli: ユーザーIDに「:」は使えません。");
}

struct ErrorPath {
    const char* name;
    std::function<std::string(const fs::path& in)> args; // the arguments, given a folder for input files
    int status;
    const char* said; // a fragment of the English reason, on standard output or error
};

class CliErrorPathTest : public ::testing::TestWithParam<ErrorPath> {
protected:
    test::TempDir m_dir;
};

fs::path written(const fs::path& path, const std::string& text) {
    test::writeFile(path, text);
    return path;
}

const std::string kTitles =
    "--encoding UTF-8 --by titles --title date=Date --title open=Open --title high=High "
    "--title low=Low --title close=Close --title volume=Volume ";

TEST_P(CliErrorPathTest, SaysWhyInEnglish) {
    const ErrorPath& c = GetParam();
    const fs::path in = m_dir / "in";
    fs::create_directories(in);
    const test::CliRun run = test::runCli(m_dir.path(), c.args(in), "TAVORA_TODAY=2026-12-09");
    EXPECT_EQ(run.status, c.status) << run.err << run.out;
    EXPECT_NE((run.out + run.err).find(c.said), std::string::npos) << run.err << run.out;
    EXPECT_EQ(lineWithJapaneseOutsideQuotes(run.err), "") << run.err;
    EXPECT_EQ(lineWithJapaneseOutsideQuotes(run.out), "") << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliErrorPathTest,
    ::testing::Values(
        ErrorPath{"ExportOfAnUnknownCode", [](const fs::path&) { return std::string("export 9999"); }, 1,
                  "no prices stored for 9999"},
        ErrorPath{"ImportCodeOfAMissingFile",
                  [](const fs::path& in) { return "import-code 1003 '" + (in / "none.csv").string() + "'"; },
                  1, "cannot open the CSV file: no such file"},
        ErrorPath{"ImportCodeOfAnUnknownTitle",
                  [](const fs::path& in) {
                      return "import-code 1003 '" +
                             written(in / "t.csv",
                                     "Date,Open,High,Low,Close,配当,Volume\n1990-01-05,1,2,1,1,0,5\n")
                                 .string() +
                             "'";
                  },
                  1, "cannot import: the title 「配当」 is none of Date"},
        ErrorPath{"ImportCodeWithEveryLineSkipped",
                  [](const fs::path& in) {
                      return "import-code 1003 '" +
                             written(in / "s.csv", "1990-01-05,1,1,2,1,1\n1990-01-06,x,1,1,1,1\n").string() +
                             "'";
                  },
                  1, "line 2: the open is not a number: x"},
        ErrorPath{"ImportWithoutACodeColumn",
                  [](const fs::path& in) {
                      return "import --no-backup " + kTitles + "'" +
                             written(in / "y.csv", "Date,Open,High,Low,Close,Volume\n1990-01-05,1,2,1,1,5\n")
                                 .string() +
                             "'";
                  },
                  1, "the header line has no title 「SC」 (code)"},
        ErrorPath{"ImportWithEveryRowContradicting",
                  [](const fs::path& in) {
                      return "import --no-backup --code 1003 " + kTitles + "'" +
                             written(in / "c.csv", "Date,Open,High,Low,Close,Volume\n1990-01-05,1,1,2,1,1\n")
                                 .string() +
                             "'";
                  },
                  1, "line 2: the high "},
        ErrorPath{"ImportPreviewOfAFileWithoutADate",
                  [](const fs::path& in) {
                      return "import --preview --code 1003 --by columns --column date=0 '" +
                             written(in / "p.csv", "1,2\n").string() + "'";
                  },
                  1, "no column is given for the date"},
        ErrorPath{"ConfigUserIdWithAColon",
                  [](const fs::path&) { return std::string("config kabuplusid user:01"); }, 1,
                  "kabuplusid: the user id cannot hold \":\""},
        ErrorPath{"ConfigAddressWithoutHttps",
                  [](const fs::path&) { return std::string("config kabuplus_url http://localhost"); }, 1,
                  "the address must begin with https://"},
        ErrorPath{"ConfigPortOutOfRange",
                  [](const fs::path&) { return std::string("config refserver_port 70000"); }, 1,
                  "a number from 1 to 65535"},
        ErrorPath{
            "ConfigMissingCaFile",
            [](const fs::path& in) { return "config kabuplus_cafile '" + (in / "ca.pem").string() + "'"; }, 1,
            "no such file: "},
        ErrorPath{"ConfigCodeListWithoutEntries",
                  [](const fs::path& in) {
                      return "config codelistcsvpath '" +
                             written(in / "l.csv", "root:*:19000:0::\n").string() + "'";
                  },
                  1, "the code list holds no codes"},
        ErrorPath{"RestoreOfAnUnknownBackup", [](const fs::path&) { return std::string("restore nosuch"); },
                  1, "no backup named 'nosuch'"}),
    [](const ::testing::TestParamInfo<ErrorPath>& info) { return std::string(info.param.name); });

} // namespace

// `tavora-cli render` run as a program on a fresh application root filled from the bundled
// sample data, with a fixed today.
#include "annotations/DocumentFile.h"
#include "support/TempDir.h"

#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct CliRun {
    int status = -1;
    std::string err;
    std::string out;
};

// Runs tavora-cli with the arguments (shell-quoted by the caller) in a clean environment, in
// the root folder.
CliRun cli(const tavora::test::TempDir& root, const std::string& args) {
    std::string errFile = (root / "stderr.txt").string();
    std::string outFile = (root / "stdout.txt").string();
    std::string command = "cd '" + root.str() +
                          "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TAVORA_APPDATA='" +
                          root.str() + "' TAVORA_TODAY=2026-12-08 '" TAVORA_BIN_DIR "/tavora-cli' render " +
                          args + " 2>'" + errFile + "' >'" + outFile + "'";
    CliRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = tavora::test::readFile(errFile);
    run.out = tavora::test::readFile(outFile);
    return run;
}

int countPixels(const QImage& image, const QRect& area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

TEST(RenderCommand, PaintsTheSampleIndexDayChart) {
    tavora::test::TempDir root;
    std::string out = (root / "chart.png").string();
    CliRun run = cli(root, "0001 --period d --size 800x500 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(800, 500));
    // Dark title text at the top left, candles with both body colours in the middle of the
    // picture, and the chart background everywhere else.
    EXPECT_GT(countPixels(image, QRect(10, 10, 200, 40), qRgb(0x38, 0x38, 0x38)) + 0, 0);
    EXPECT_GT(countPixels(image, QRect(0, 60, 800, 380), qRgb(0x18, 0x18, 0x18)), 50);   // down bodies
    EXPECT_GT(countPixels(image, QRect(0, 60, 800, 380), qRgb(0x20, 0x20, 0x20)), 100);  // outlines
    EXPECT_GT(countPixels(image, QRect(0, 0, 800, 500), qRgb(0xFC, 0xFC, 0xFC)), 200000);
    // Today's bar stands 30 pitches (3 pixels each) left of the right edge: nothing is drawn
    // to the right of it but future days.
    EXPECT_EQ(countPixels(image, QRect(800 - 30 * 3 + 3, 60, 30 * 3 - 20, 300), qRgb(0x18, 0x18, 0x18)), 0);
}

// A year chart of 19 years (2008 to 2026) and a century of future years: the bar of 2026
// stands 30 pitches (3 pixels each) left of the right edge, the history to its left, the
// empty columns before it.
TEST(RenderCommand, YearChartPlacesThisYearsBar30PitchesFromTheRightEdge) {
    tavora::test::TempDir root;
    const std::string out = (root / "year.png").string();
    CliRun run = cli(root, "1001 --period y --size 800x500 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(800, 500));
    const int todayLeft = (800 / 3 - 30) * 3; // 708
    const QRgb outline = qRgb(0x20, 0x20, 0x20);
    EXPECT_EQ(countPixels(image, QRect(0, 60, todayLeft - 19 * 3, 380), outline), 0); // before 2008
    EXPECT_GT(countPixels(image, QRect(todayLeft - 18 * 3, 60, 18 * 3, 380), outline), 50);
    EXPECT_GT(countPixels(image, QRect(todayLeft, 60, 3, 380), outline), 0); // 2026
    EXPECT_EQ(countPixels(image, QRect(todayLeft + 3, 60, 800 - todayLeft - 3, 380), outline), 0);
}

TEST(RenderCommand, DrawsTheAnnotationsADocumentHoldsForTheCodeAndPeriod) {
    using namespace tavora::annotations;
    tavora::test::TempDir root;
    // A thick red line on the day chart of 0001, and one on its week chart that must not show.
    GraphCtrlRow line;
    line.id = 1;
    line.classname = "LineElm";
    line.code = "0001";
    line.date = "2026-11-02";
    line.enddate = "2026-12-01";
    line.pen_cr = 0x0000FF;
    line.penWidth = 3;
    line.range_y = -40;
    line.endrange_y = -40;
    GraphCtrlRow weekLine = line;
    weekLine.kikan = tavora::market::ChartPeriod::Week;
    weekLine.pen_cr = 0x00FF00;
    auto working = WorkingDocument::createEmpty();
    ASSERT_TRUE(working.recordStep({line, weekLine}));
    const std::string doc = (root / "lines.tvrd").string();
    ASSERT_TRUE(writeDocument(doc, working, {}));

    const std::string out = (root / "annotated.png").string();
    CliRun run = cli(root, "0001 --period d --size 800x500 --out '" + out + "' --document '" + doc + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(out));
    EXPECT_GT(countPixels(image, QRect(0, 0, 800, 500), qRgb(0xFF, 0, 0)), 100);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 800, 500), qRgb(0, 0xFF, 0)), 0);

    // A file that is no chart document: one line saying so.
    const std::string notes = (root / "notes.tvrd").string();
    tavora::test::writeFile(notes, "not a document\n");
    run = cli(root, "0001 --out '" + out + "' --document '" + notes + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tavora-cli: " + notes + " is not a Tavora chart document\n"), std::string::npos)
        << run.err;
}

TEST(RenderCommand, WithoutACodePaintsTheNoCodeScreen) {
    tavora::test::TempDir root;
    std::string out = (root / "none.png").string();
    CliRun run = cli(root, "--size 640x360 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(640, 360));
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, qRgb(0xF0, 0xF8, 0xFF) & 0xFFFFFF);  // theme 0xFFF8F0
}

// The picture's format follows the file name's extension; the path written is printed.
TEST(RenderCommand, WritesTheFormatOfTheExtensionAndPrintsThePath) {
    tavora::test::TempDir root;
    struct Case {
        const char* name;
        const char* format; // as QImageReader names it
    };
    for (const Case& c : {Case{"chart.png", "png"}, Case{"chart.jpg", "jpeg"}, Case{"CHART.JPEG", "jpeg"},
                          Case{"chart.bmp", "bmp"}}) {
        const std::string out = (root / c.name).string();
        CliRun run = cli(root, "0001 --size 320x200 --out '" + out + "'");
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, out + "\n");
        QImageReader reader(QString::fromStdString(out));
        EXPECT_EQ(reader.format().toStdString(), c.format) << c.name;
        EXPECT_EQ(reader.read().size(), QSize(320, 200)) << c.name;
    }
    // The largest side there is.
    const std::string wide = (root / "wide.png").string();
    CliRun widest = cli(root, "0001 --size 16384x40 --out '" + wide + "'");
    ASSERT_EQ(widest.status, 0) << widest.err;
    EXPECT_EQ(QImage(QString::fromStdString(wide)).size(), QSize(16384, 40));
    // Without --out: CODE-PERIOD.png in the working folder, named as written.
    CliRun run = cli(root, "--period w --size 100x100");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "nocode-w.png\n");
    EXPECT_EQ(QImage(QString::fromStdString((root / "nocode-w.png").string())).size(), QSize(100, 100));
}

TEST(RenderCommand, RejectsBadArgumentsAndUnknownCodes) {
    tavora::test::TempDir root;
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    for (const Case& c :
         std::vector<Case>{{"0001 --period x", 2, "unknown period"},
                           {"0001 --size 800", 2, "bad size"},
                           {"0001 --size 0x100", 2, "bad size"},
                           {"0001 --size 99999999999x10", 2, "bad size"},
                           // Past what a screen or a poster needs: refused before any memory is taken.
                           {"0001 --size 20000x20000", 2, "size 20000x20000 is too large (at most 16384 pixels a side"},
                           {"0001 --size 16385x10", 2, "too large"},
                           {"0001 --size 10x16385", 2, "too large"},
                           {"0001 --bogus", 2, "unknown option"},
                           {"0001 0002", 2, "more than one code"},
                           {"0001 --out chart.gif", 2, "picture format"},
                           {"0001 --out chart", 2, "picture format"},
                           {"0001 --out png", 2, "picture format"},
                           {"9999 --out '" + (root / "x.png").string() + "'", 1, "no code 9999"},
                           {"0001 --out '" + (root / "no" / "such" / "x.png").string() + "'", 1,
                            "cannot write"}}) {
        CliRun run = cli(root, c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    }
}

}  // namespace

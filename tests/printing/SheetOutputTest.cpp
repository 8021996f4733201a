// Sheets written as PDF files and printed to a PDF printer, read back with poppler (pdfinfo,
// pdftotext, pdftoppm): A4 pages, the page count, the title and searchable text; and the
// preview image.
#include "printing/ui/SheetOutput.h"

#include "PdfTools.h"
#include "PrintTestSupport.h"
#include "support/QtApplicationEnvironment.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QImage>
#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavora::printing {
namespace {

using market::ChartPeriod;
using test::pdfField;
using test::pdfInfo;
using test::pdfText;
using test::snapshotWith;
using test::weekdays;

QGuiApplication& app() {
    return tavora::test::QtApplicationEnvironment::app();
}

PrintChoices threeSheets(Orientation orientation = Orientation::Portrait) {
    PrintChoices c;
    c.start = {2025, 3};
    c.lowest = 12000;
    c.orientation = orientation;
    return c;
}

TEST(SheetOutput, PdfHasA4PagesTheTitleAndSearchableText) {
    app();
    tavora::test::TempDir dir;
    // 300 bars at two cells a bar: three sheets upright, two on the side.
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 300, 14000));
    struct Case {
        Orientation orientation;
        int pages;
        const char* size;
    };
    for (const Case& c : {Case{Orientation::Portrait, 3, "595 x 842 pts (A4)"},
                          Case{Orientation::Landscape, 2, "842 x 595 pts (A4)"}}) {
        const auto pdf = dir / (c.pages == 3 ? "up.pdf" : "side.pdf");
        const SheetInput in = makeSheetInput(snap, threeSheets(c.orientation), true);
        const ui::OutputResult r = ui::writeSheetsPdf(pdf.string(), in, "極東電機日足");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.pages, c.pages);
        const std::string info = pdfInfo(pdf.string());
        EXPECT_EQ(pdfField(info, "Pages"), std::to_string(c.pages)) << info;
        EXPECT_EQ(pdfField(info, "Page size"), c.size) << info;
        EXPECT_EQ(pdfField(info, "Title"), "極東電機日足") << info;
        const std::string text = pdfText(pdf.string());
        for (const char* t : {"極東電機", "1001 東証プライム 電気機器", "12000", "13000", "2025", "03"})
            EXPECT_NE(text.find(t), std::string::npos) << t << " in:\n" << text;
    }
}

TEST(SheetOutput, PdfPagesShowTheSheetAsThePreviewDoes) {
    app();
    tavora::test::TempDir dir;
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 300, 14000));
    const SheetInput in = makeSheetInput(snap, threeSheets(), true);
    const auto pdf = dir / "sheets.pdf";
    ASSERT_TRUE(ui::writeSheetsPdf(pdf.string(), in, "t").ok);
    // Page 2 rasterised at 96 dpi lies over the preview of sheet 2 (fonts may differ by a
    // pixel; the grid, the candles and the margins must not).
    test::commandOutput("pdftoppm -f 2 -l 2 -r 96 -png '" + pdf.string() + "' '" + (dir / "page").string() +
                        "'");
    QImage page;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().extension() == ".png")
            page.load(QString::fromStdString(e.path().string()));
    ASSERT_FALSE(page.isNull());
    const QImage preview = ui::renderSheetImage(in, 2);
    ASSERT_EQ(preview.size(), QSize(794, 1123));
    ASSERT_EQ(page.size(), preview.size());
    // The grid's heavy lines and white margins sit where the preview has them.
    const QRgb every50 = qRgb(204, 230, 255);
    EXPECT_EQ(preview.pixel(22, 600) & 0xFFFFFF, every50 & 0xFFFFFF);
    EXPECT_EQ(page.pixel(22, 600) & 0xFFFFFF, every50 & 0xFFFFFF);
    EXPECT_EQ(page.pixel(10, 600) & 0xFFFFFF, 0xFFFFFFu);
    // The dark candle bodies lie on the same pixels (the page's thin outlines are smoothed,
    // so it has fewer dark pixels, nearly all of them where the preview has its own).
    int previewDark = 0;
    int pageDark = 0;
    int both = 0;
    for (int y = 36; y < 1086; ++y)
        for (int x = 22; x < 772; ++x) {
            const bool a = qGray(preview.pixel(x, y)) < 64;
            const bool b = qGray(page.pixel(x, y)) < 64;
            previewDark += a;
            pageDark += b;
            both += a && b;
        }
    EXPECT_GT(previewDark, 500);
    EXPECT_GT(pageDark, previewDark / 2);
    EXPECT_GT(both, pageDark * 9 / 10);
}

TEST(SheetOutput, PrinterPrintsTheChosenPages) {
    app();
    tavora::test::TempDir dir;
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 300, 14000));
    const SheetInput in = makeSheetInput(snap, threeSheets(), true);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const auto pdf = dir / "printed.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    const ui::OutputResult r = ui::printSheets(printer, in, "極東電機日足", 2, 3);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.pages, 2);
    const std::string info = pdfInfo(pdf.string());
    EXPECT_EQ(pdfField(info, "Pages"), "2") << info;
    EXPECT_EQ(pdfField(info, "Page size"), "595 x 842 pts (A4)") << info;
    EXPECT_EQ(pdfField(info, "Title"), "極東電機日足") << info;
}

TEST(SheetOutput, AFailedWriteSaysWhyAndLeavesNoFile) {
    app();
    tavora::test::TempDir dir;
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 30, 14000));
    const SheetInput in = makeSheetInput(snap, threeSheets(), true);
    // A folder that does not exist, and a folder in the file's place.
    std::filesystem::create_directory(dir / "taken.pdf");
    for (const auto& path : {dir / "missing" / "x.pdf", dir / "taken.pdf"}) {
        const ui::OutputResult r = ui::writeSheetsPdf(path.string(), in, "t");
        EXPECT_FALSE(r.ok) << path;
        EXPECT_FALSE(r.error.empty()) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.pdf"));
    // Nothing half-written is left beside the target.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(SheetOutput, WritesOverAnExistingPdf) {
    app();
    tavora::test::TempDir dir;
    const auto pdf = dir / "chart.pdf";
    tavora::test::writeFile(pdf, "old contents");
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 30, 14000));
    ASSERT_TRUE(ui::writeSheetsPdf(pdf.string(), makeSheetInput(snap, threeSheets(), true), "t").ok);
    EXPECT_EQ(tavora::test::readFile(pdf).substr(0, 5), "%PDF-");
}

// Cancelled (Ctrl+C in tavora-cli print): nothing is written and an old file stays as it was.
TEST(SheetOutput, ACancelledPdfLeavesTheOldFileAndNothingBesideIt) {
    app();
    tavora::test::TempDir dir;
    const auto pdf = dir / "chart.pdf";
    tavora::test::writeFile(pdf, "old contents");
    const PrintSnapshot snap = snapshotWith(ChartPeriod::Day, weekdays(2025, 3, 3, 300, 14000));
    std::atomic<bool> cancel{true};
    const auto r = ui::writeSheetsPdf(pdf.string(), makeSheetInput(snap, threeSheets(), true), "t", 1, INT_MAX,
                                      &cancel);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.pages, 0);
    EXPECT_EQ(tavora::test::readFile(pdf), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

} // namespace
} // namespace tavora::printing

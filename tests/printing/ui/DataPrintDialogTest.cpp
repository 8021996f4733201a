// The chart print dialog on the Home page of a real price database: its defaults, the sheet
// box, the year chart's month boxes, a new snapshot when another code is shown, and printing
// and PDF output through the dialogs' seams.
#include "printing/ui/DataPrintDialog.h"
#include "app/HomePanel.h"
#include "app/PrintRoute.h"
#include "app/core/AppContext.h"
#include "chart/ui/GraphPanel.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "printing/PdfTools.h"
#include "printing/ui/DataPrintHeader.h"
#include "printing/ui/DataPrintPanel.h"
#include "printing/ui/DataPropertyPanel.h"
#include "support/SampleMarket.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <filesystem>

using namespace tavora;
using market::ChartPeriod;
using printing::ui::DataPrintDialog;

using printing::test::pdfPages;

class DataPrintDialogTest : public QObject {
    Q_OBJECT

    // The sample prices end on Friday 2024-06-28; the dialog's year is 2024.
    struct Page {
        test::ScopedEnv today{"TAVORA_TODAY", "2024-07-01"};
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::StatusBar status;
        QWidget main;
        app::HomePanel* home;
        DataPrintDialog* dialog = nullptr;

        Page() {
            test::buildSampleContext(ctx, dir.path(),
                                     {{"1001", "極東電機", 300, 15000}, {"1002", "北海製作所", 300, 2000}});
            home = new app::HomePanel(ctx, &status, &main);
            main.resize(1200, 800);
            main.move(100, 80);
            home->resize(1200, 775);
            main.show();
            ctx.currentCode = 0;
            home->openCurrentCode();
            app::openPrintDialog(dialog, ctx, *home, &main, &main);
        }
        printing::ui::DataPropertyPanel* props() const { return dialog->properties(); }
        printing::ui::DataPrintHeader* head() const { return dialog->header(); }
        QString box(QComboBox* c) const { return c->currentText(); }
    };

private slots:
    void opensOverTheMainWindowWithTheDefaults() {
        Page page;
        DataPrintDialog* d = page.dialog;
        QVERIFY(d->isVisible());
        QVERIFY(d->isWindow());
        QVERIFY(!d->isModal());
        QCOMPARE(d->geometry().topLeft(), page.main.frameGeometry().topLeft() + QPoint(30, 30));
        QCOMPARE(d->size(), page.main.size());

        auto* p = page.props();
        QCOMPARE(p->codeLabel()->text(), QString("極東電機"));
        QCOMPARE(page.box(p->periodBox()), QString("日足"));
        QCOMPARE(page.box(p->startYearBox()), QString("2024"));
        QCOMPARE(p->startYearBox()->itemText(p->startYearBox()->count() - 1), QString("1949"));
        QCOMPARE(page.box(p->startMonthBox()), QString("01"));
        QCOMPARE(page.box(p->endYearBox()), QString());
        QCOMPARE(p->endYearBox()->itemText(1), QString("2025"));
        QCOMPARE(page.box(p->endMonthBox()), QString());
        QCOMPARE(p->startMonthBox()->itemText(0), QString("12"));
        QCOMPARE(page.box(p->schemeBox()), QString("ブルー"));
        QCOMPARE(page.box(p->barWidthBox()), QString("大"));
        for (int cells : {50, 10, 5, 1})
            QVERIFY(p->lineBox(cells)->isChecked());
        QCOMPARE(page.box(page.head()->orientationBox()), QString("縦"));
        QCOMPARE(page.box(page.head()->paperBox()), QString("A4"));
        QVERIFY(!page.head()->paperBox()->isEnabled());

        // The step is the day panel's grid interval with its neighbours in the table; the
        // bottom price three steps below the last close (about 15,000 on 2024-06-28).
        const int grid = page.home->graphPanel(ChartPeriod::Day)->state().grid_yen;
        QCOMPARE(grid, 1000);
        QCOMPARE(page.box(p->stepBox()), QString("1000"));
        QCOMPARE(p->stepBox()->count(), 5);
        const auto& bars = d->snapshot().period(ChartPeriod::Day).bars;
        QCOMPARE(QString::fromStdString(bars.back().date), QString("2024-06-28"));
        const std::int64_t expected = 1000 * ((std::int64_t(*bars.back().close) - 3000) / 1000);
        QCOMPARE(page.box(p->lowestBox()), QString::number(expected));
        QCOMPARE(d->choices().lowest, expected);
        QCOMPARE(p->lowestBox()->count(), 15);

        // January to June 2024: 130 weekdays, two sheets of 125.
        QCOMPARE(d->sheetInput(false).range.count(), std::size_t(130));
        QCOMPARE(d->sheetCount(), 2);
        QCOMPARE(d->sheet(), 1);
        QCOMPARE(page.head()->countLabel()->text(), QString("/ 2"));
        QCOMPARE(d->preview()->shownImage().size(), QSize(794, 1123));
        QCOMPARE(d->documentTitle(), std::string("極東電機日足"));
    }

    // The sheets the choices take are shown before printing and follow the choices.
    void theSheetCountIsShownAsTheChoicesChange() {
        Page page;
        DataPrintDialog* d = page.dialog;
        auto* p = page.props();
        QLabel* summary = p->sheetSummaryLabel();
        qInfo("%s", qPrintable(summary->text()));
        QVERIFY2(summary->text().startsWith("2枚（2024-01-"), qPrintable(summary->text()));
        p->startYearBox()->setCurrentText("2023"); // from 2023-05: 300 bars, 3 sheets
        QVERIFY2(summary->text().startsWith("3枚（2023-05-"), qPrintable(summary->text()));
        p->barWidthBox()->setCurrentText("小");
        QVERIFY2(summary->text().startsWith("2枚（2023-05-"), qPrintable(summary->text()));
        page.head()->orientationBox()->setCurrentText("横");
        QVERIFY2(summary->text().startsWith("1枚（2023-05-"), qPrintable(summary->text()));
        QCOMPARE(d->sheetCount(), 1);
    }

    // A range with nothing to print says why in place of the sheet and offers no output.
    void aRangeWithNothingToPrintShowsWhyInsteadOfABlankSheet() {
        Page page;
        DataPrintDialog* d = page.dialog;
        auto* p = page.props();
        int chooserCalls = 0;
        d->setPdfPathChooser([&](const QString&, QWidget*) {
            ++chooserCalls;
            return QString::fromStdString((page.dir / "x.pdf").string());
        });
        struct Case {
            QString startYear, startMonth, endYear, endMonth, message;
        };
        const Case cases[] = {
            {"2024", "03", "2023", "12", "期間の開始（2024年03月）が終了（2023年12月）より後です。印刷するものがありません。"},
            {"2020", "01", "2020", "12",
             "期間（2020年01月から2020年12月まで）に株価がありません。株価があるのは2023-"},
            // After the newest prices (2024-06-28): at most coming market days.
            {"2024", "07", "", "", "期間（2024年07月から）に株価がありません。株価があるのは2023-"},
        };
        for (const Case& c : cases) {
            p->startYearBox()->setCurrentText(c.startYear);
            p->startMonthBox()->setCurrentText(c.startMonth);
            p->endYearBox()->setCurrentText(c.endYear);
            p->endMonthBox()->setCurrentText(c.endMonth);
            QVERIFY2(d->refusal().startsWith(c.message), qPrintable(d->refusal()));
            QCOMPARE(d->preview()->shownMessage(), d->refusal());
            QVERIFY(d->preview()->shownImage().isNull()); // no blank sheet
            QVERIFY(!page.head()->printButton()->isEnabled());
            QVERIFY(!page.head()->pdfButton()->isEnabled());
            QCOMPARE(p->sheetSummaryLabel()->text(), QString("0枚（印刷するものがありません）"));
        }
        // Asked anyway (the buttons are off): nothing is written, the reason is given.
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        d->writePdf();
        QCOMPARE(chooserCalls, 0);
        QVERIFY(!std::filesystem::exists(page.dir / "x.pdf"));

        // Back to a range with prices: the sheet again.
        p->startMonthBox()->setCurrentText("01");
        QVERIFY(d->refusal().isEmpty());
        QVERIFY(d->preview()->shownMessage().isEmpty());
        QCOMPARE(d->preview()->shownImage().size(), QSize(794, 1123));
        QVERIFY(page.head()->printButton()->isEnabled());
        QVERIFY(page.head()->pdfButton()->isEnabled());
    }

    // 閉じる and Esc close the window (it only hides; the choices stay).
    void closesWithItsButtonAndEscape() {
        Page page;
        DataPrintDialog* d = page.dialog;
        page.props()->schemeBox()->setCurrentText("グレー");
        QVERIFY(d->isVisible());
        QCOMPARE(page.head()->closeButton()->text(), QString("閉じる"));
        page.head()->closeButton()->click();
        QVERIFY(!d->isVisible());

        app::openPrintDialog(page.dialog, page.ctx, *page.home, &page.main, &page.main);
        QVERIFY(d->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(page.props()->stepBox(), Qt::Key_Escape); // from any control of the window
        QVERIFY(!d->isVisible());
        app::openPrintDialog(page.dialog, page.ctx, *page.home, &page.main, &page.main);
        QCOMPARE(page.box(page.props()->schemeBox()), QString("グレー"));
    }

    void sheetBoxAndButtonsStayWithinTheSheets() {
        Page page;
        DataPrintDialog* d = page.dialog;
        auto* p = page.props();
        p->startYearBox()->setCurrentText("2023"); // from 2023-05: 300 bars, 3 sheets
        QCOMPARE(d->sheetCount(), 3);
        const QImage first = d->preview()->shownImage();
        page.head()->nextButton()->click();
        QCOMPARE(d->sheet(), 2);
        QVERIFY(d->preview()->shownImage() != first);
        page.head()->nextButton()->click();
        QCOMPARE(d->sheet(), 3);
        QVERIFY(!page.head()->nextButton()->isEnabled());
        page.head()->nextButton()->click();
        QCOMPARE(d->sheet(), 3);
        page.head()->previousButton()->click();
        QCOMPARE(d->sheet(), 2);

        QSpinBox* box = page.head()->sheetBox();
        box->setValue(1);
        emit box->editingFinished();
        QCOMPARE(d->sheet(), 1);
        QVERIFY(!page.head()->previousButton()->isEnabled());
        QCOMPARE(box->maximum(), 3);

        // Narrow bars: 250 a sheet, two sheets, back to sheet 1; on its side 350: one.
        page.head()->nextButton()->click();
        p->barWidthBox()->setCurrentText("小");
        QCOMPARE(d->sheetCount(), 2);
        QCOMPARE(d->sheet(), 1);
        page.head()->orientationBox()->setCurrentText("横");
        QCOMPARE(d->sheetCount(), 1);
        QCOMPARE(d->preview()->shownImage().size(), QSize(1123, 794));
        // Zoom scales the preview only.
        page.head()->zoomBox()->setCurrentText("50%");
        QCOMPARE(d->preview()->shownImage().size(), QSize(561, 397));
        QCOMPARE(d->sheetCount(), 1);
    }

    void optionsReachTheSheet() {
        Page page;
        DataPrintDialog* d = page.dialog;
        auto* p = page.props();
        p->schemeBox()->setCurrentText("グレー");
        QCOMPARE(d->choices().scheme, printing::LineScheme::Grey);
        p->lineBox(5)->setChecked(false);
        QVERIFY(!d->choices().lines.every5);
        p->lowestBox()->setCurrentIndex(0); // seven steps higher
        QCOMPARE(d->choices().lowest, std::int64_t(p->lowestBox()->itemText(0).toLongLong()));
        // A new step recomputes the bottom price for it.
        p->stepBox()->setCurrentText("500");
        QCOMPARE(d->choices().step, std::int64_t(500));
        QCOMPARE(d->choices().lowest % 500, std::int64_t(0));
        QCOMPARE(p->lowestBox()->currentText(), QString::number(d->choices().lowest));
        // An end month: the range ends there.
        p->endYearBox()->setCurrentText("2024");
        p->endMonthBox()->setCurrentText("03");
        const auto in = d->sheetInput(false);
        QCOMPARE(QString::fromStdString(in.period()->bars[in.range.last].date), QString("2024-03-29"));
    }

    void yearChartsFixTheMonthBoxes() {
        Page page;
        auto* p = page.props();
        p->endYearBox()->setCurrentText("2024");
        p->endMonthBox()->setCurrentText("05");
        p->startMonthBox()->setCurrentText("07");
        p->periodBox()->setCurrentText("年足");
        QCOMPARE(page.box(p->startMonthBox()), QString("01"));
        QCOMPARE(page.box(p->endMonthBox()), QString("01"));
        QVERIFY(!p->startMonthBox()->isEnabled());
        QVERIFY(!p->endMonthBox()->isEnabled());
        QCOMPARE(page.dialog->choices().lowest, std::int64_t(0));
        QCOMPARE(page.dialog->choices().period, ChartPeriod::Year);
        p->periodBox()->setCurrentText("日足");
        QVERIFY(p->startMonthBox()->isEnabled());
        QVERIFY(p->endMonthBox()->isEnabled());
        // An empty end month stays empty.
        p->endMonthBox()->setCurrentIndex(0);
        p->periodBox()->setCurrentText("年足");
        QCOMPARE(page.box(p->endMonthBox()), QString());
    }

    void anotherSeriesReplacesTheSnapshot() {
        Page page;
        DataPrintDialog* d = page.dialog;
        QCOMPARE(QString::fromStdString(d->snapshot().title.code), QString("1001"));
        const double firstClose = *d->snapshot().period(ChartPeriod::Day).bars.back().close;
        QSignalSpy shown(page.home, &app::HomePanel::chartShown);
        page.home->changeCurrentCode(1);
        QVERIFY(shown.wait(10000));
        QCOMPARE(QString::fromStdString(d->snapshot().title.code), QString("1002"));
        QCOMPARE(page.props()->codeLabel()->text(), QString("北海製作所"));
        const double secondClose = *d->snapshot().period(ChartPeriod::Day).bars.back().close;
        QVERIFY(secondClose < firstClose / 3);                       // priced around 2,000 instead of 15,000
        QCOMPARE(page.box(page.props()->stepBox()), QString("200")); // its own chart's grid
        QCOMPARE(d->choices().step, std::int64_t(200));

        // Closed, it keeps nothing of the chart; opened again, it takes the series shown.
        d->close();
        QVERIFY(!d->isVisible());
        QVERIFY(!d->snapshot().codeOpen);
        page.home->changeCurrentCode(0);
        QVERIFY(shown.wait(10000));
        QVERIFY(!d->snapshot().codeOpen);
        app::openPrintDialog(page.dialog, page.ctx, *page.home, &page.main, &page.main);
        QCOMPARE(page.dialog, d);
        QCOMPARE(QString::fromStdString(d->snapshot().title.code), QString("1001"));
    }

    void writesPdfAndPrintsThroughTheChosenDialogs() {
        Page page;
        DataPrintDialog* d = page.dialog;
        QString proposed;
        const QString pdf = QString::fromStdString((page.dir / "chart").string());
        d->setPdfPathChooser([&](const QString& name, QWidget*) {
            proposed = name;
            return pdf;
        });
        d->header()->findChild<QPushButton*>("sheetpdf")->click();
        QCOMPARE(proposed, QString("極東電機日足.pdf"));
        QCOMPARE(pdfPages((pdf + ".pdf").toStdString()), 2); // ".pdf" added to a name without one

        auto entries = [&] {
            return std::distance(std::filesystem::directory_iterator(page.dir.path()),
                                 std::filesystem::directory_iterator());
        };
        const auto before = entries();
        // Cancelled: nothing is written.
        d->setPdfPathChooser([](const QString&, QWidget*) { return QString(); });
        d->writePdf();
        QCOMPARE(entries(), before);

        // A folder that does not exist: the output check says so, no file.
        d->setPdfPathChooser([&](const QString&, QWidget*) {
            return QString::fromStdString((page.dir / "none" / "x.pdf").string());
        });
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        d->writePdf();
        QVERIFY(framework::ui::MessageBox::lastText().startsWith("保存先のフォルダーがありません。"));
        QCOMPARE(entries(), before);

        // The printer dialog chose sheet 2 only, printing into a PDF file.
        const QString printed = QString::fromStdString((page.dir / "printed.pdf").string());
        int offered = 0;
        d->setPrinterChooser([&](QPrinter& printer, int sheets, QWidget*) {
            offered = sheets;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 2);
            return true;
        });
        d->header()->findChild<QPushButton*>("sheetprint")->click();
        QCOMPARE(offered, 2);
        QCOMPARE(pdfPages(printed.toStdString()), 1);
        // Cancelled: nothing printed.
        std::filesystem::remove(printed.toStdString());
        d->setPrinterChooser([](QPrinter&, int, QWidget*) { return false; });
        d->print();
        QVERIFY(!std::filesystem::exists(printed.toStdString()));
    }
};

QTEST_MAIN(DataPrintDialogTest)
#include "DataPrintDialogTest.moc"

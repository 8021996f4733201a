// The Home page on a real price database: navigation, favourites, search and reopening.
#include "app/HomePanel.h"
#include "app/CodeSearchPopup.h"
#include "app/HomeHeadPanel.h"
#include "app/ReopenWorker.h"
#include "app/core/AppContext.h"
#include "chart/ui/GraphDialog.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Log.h"
#include "framework/ui/StatusBar.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <fstream>
#include <iterator>

using namespace tavora;
using market::ChartPeriod;

class HomePanelTest : public QObject {
    Q_OBJECT

    struct Page {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::StatusBar status;
        std::unique_ptr<app::HomePanel> home;

        explicit Page(const std::vector<test::SampleCode>& codes) {
            test::buildSampleContext(ctx, dir.path(), codes);
            home = std::make_unique<app::HomePanel>(ctx, &status, nullptr);
            home->resize(1200, 700);
            home->show();
        }
        QString shownCode() const {
            return home->series() ? QString::fromStdString(home->series()->code) : QString();
        }
        bool waitShown() {
            QSignalSpy spy(home.get(), &app::HomePanel::chartShown);
            return spy.wait(10000);
        }
        QPushButton* button(const char* name) { return home->findChild<QPushButton*>(name); }
    };

    // Types text key by key, as an input method commits it (keyClicks takes ASCII only).
    static void type(QWidget* w, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    static std::vector<test::SampleCode> threeCodes() {
        return {{"1001", "極東電機", 200, 1000},
                {"1002", "北海製作所", 200, 2000},
                {"1003", "極東化学", 200, 3000}};
    }

private slots:
    void navigationStopsAtTheEnds() {
        Page page(threeCodes());
        page.ctx.currentCode = 2;
        page.home->openCurrentCode();
        QCOMPARE(page.shownCode(), QString("1003"));
        page.button("nextbutton")->click();
        QCOMPARE(page.ctx.currentCode, std::optional<std::size_t>(2));
        QVERIFY(!page.home->reopenWorker()->running());

        page.ctx.currentCode = 0;
        page.home->openCurrentCode();
        page.button("prevbutton")->click();
        QCOMPARE(page.ctx.currentCode, std::optional<std::size_t>(0));
        QVERIFY(!page.home->reopenWorker()->running());

        page.button("nextbutton")->click();
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1002"));
    }

    void favouritesOnlyModeFollowsTheMarks() {
        Page page(threeCodes());
        page.ctx.currentCode = 0;
        page.home->openCurrentCode();
        // No entry marked: the mode switches itself off and the code stays.
        page.button("favlistcheck")->click();
        QVERIFY(!page.home->head()->favouritesOnly());
        QCOMPARE(page.ctx.currentCode, std::optional<std::size_t>(0));

        page.ctx.catalogue[2].favourite = true;
        page.button("favlistcheck")->click();
        QVERIFY(page.home->head()->favouritesOnly());
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1003"));
        QVERIFY(page.home->head()->favouriteChecked()); // the check box follows the code
        // Only marked entries count: nothing before 1003 is marked.
        page.button("prevbutton")->click();
        QCOMPARE(page.ctx.currentCode, std::optional<std::size_t>(2));
    }

    void aSkippedSplitIsLogged() {
        Page page(threeCodes());
        framework::ZLog log;
        const auto txt = page.dir.path() / "log.txt";
        log.Open(page.dir.path() / "log.zfc", txt);
        page.home->setLog(&log);
        page.ctx.currentCode = 1;
        page.home->openCurrentCode();
        const std::string day = page.home->series()->period(ChartPeriod::Day).bars.oldest()->date;
        page.ctx.catalogue[1].splits = {{day, "0"}};
        page.home->openCurrentCode();
        QCOMPARE(page.shownCode(), QString("1002"));
        std::ifstream in(txt);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY2(text.find("1002: 分割比率が不正なため無視しました: " + day) != std::string::npos,
                 text.c_str());
    }

    // Without a code the panels show the program's logo in their middle and its notice.
    void withoutACodeThePanelsShowTheLogoAndNotice() {
        Page page({});
        page.ctx.noticeText = "お知らせ";
        page.home->openCurrentCode();
        QVERIFY(!page.home->series());
        const QImage& image = page.home->graphPanel(ChartPeriod::Day)->plotArea()->visibleImage();
        QVERIFY(!image.isNull());
        const QRgb ground = image.pixel(2, 2);
        QVERIFY(image.pixel(image.width() / 2, image.height() / 2) != ground);
    }

    void favouriteButtonMarksTheCurrentCode() {
        Page page(threeCodes());
        page.ctx.currentCode = 1;
        page.home->openCurrentCode();
        page.button("favaddcheck")->click();
        QVERIFY(page.ctx.catalogue[1].favourite);
        page.button("favaddcheck")->click();
        QVERIFY(!page.ctx.catalogue[1].favourite);
    }

    void search_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("dropDown");
        QTest::newRow("no match") << "9999"
                                  << "9999はみつかりません" << QString() << QStringList();
        QTest::newRow("one match opens") << "北海" << QString() << "1002" << QStringList();
        QTest::newRow("several drop down")
            << "極東" << QString() << QString() << QStringList{"1001 極東電機", "1003 極東化学"};
    }

    void search() {
        QFETCH(QString, text);
        QFETCH(QString, status);
        QFETCH(QString, opened);
        QFETCH(QStringList, dropDown);
        Page page(threeCodes());
        page.home->head()->searchBox()->setText(text);
        QTest::keyClick(page.home->head()->searchBox(), Qt::Key_Return);
        QCOMPARE(page.status.text(), status);
        if (!opened.isEmpty()) {
            QVERIFY(page.waitShown());
            QCOMPARE(page.shownCode(), opened);
        }
        auto* popup = page.home->searchPopup();
        QCOMPARE(popup->isVisible(), !dropDown.isEmpty());
        if (!dropDown.isEmpty()) {
            QCOMPARE(popup->lines(), dropDown);
            QCOMPARE(popup->height(), int(dropDown.size()) * app::CodeSearchPopup::RowHeight + 2);
            // Choosing a line puts the name into the box and searches with it: one match.
            popup->choose(1);
            QCOMPARE(page.home->head()->searchBox()->text(), QString("極東化学"));
            QVERIFY(page.waitShown());
            QCOMPARE(page.shownCode(), QString("1003"));
        }
    }

    void theDropDownFollowsTheTyping() {
        Page page(threeCodes());
        auto* box = page.home->head()->searchBox();
        box->setFocus();
        type(box, "極東");
        QCOMPARE(box->text(), QString("極東")); // the list does not take the keys
        QCOMPARE(page.home->searchPopup()->lines(), (QStringList{"1001 極東電機", "1003 極東化学"}));
        type(box, "電");
        QCOMPARE(page.home->searchPopup()->lines(), QStringList{"1001 極東電機"});
        type(box, "X");
        QVERIFY(!page.home->searchPopup()->isVisible());
        QVERIFY(!page.ctx.currentCode); // typing alone opens nothing
    }

    void searchDropDownStopsGrowingAt360Pixels() {
        std::vector<test::SampleCode> codes;
        for (int i = 0; i < 30; ++i)
            codes.push_back({std::to_string(2000 + i), "共通商事" + std::to_string(i), 5, 500});
        Page page(codes);
        page.home->head()->searchBox()->setText("共通");
        page.home->search();
        QCOMPARE(page.home->searchPopup()->lines().size(), 30);
        QCOMPARE(page.home->searchPopup()->height(), app::CodeSearchPopup::MaxHeight);
    }

    void reloadingTheCodeListKeepsTheSplits() {
        Page page(threeCodes());
        test::writeFile(page.dir / "others" / "code_info.csv",
                        "1002,北海製作所,機械,東証プライム\n1003,極東化学,化学,東証プライム\n");
        test::writeFile(page.dir / "others" / "bunkatsudata.csv", "2024-03-01,1003,2\n");
        page.ctx.currentCode = 0;
        page.home->reloadCodeList();
        QCOMPARE(page.ctx.catalogue.size(), std::size_t(2));
        QCOMPARE(page.ctx.currentCode, std::optional<std::size_t>(0));
        QCOMPARE(page.shownCode(), QString("1002"));
        QCOMPARE(page.ctx.catalogue[1].splits.size(), std::size_t(1));
    }

    void aNewerReopenReplacesTheRunningOne() {
        Page page({{"1001", "大量足", 10000, 1000}, {"1002", "少量足", 50, 2000}});
        page.ctx.currentCode = 0;
        page.home->reopen();
        page.home->changeCurrentCode(1); // while the first still runs
        QSignalSpy spy(page.home.get(), &app::HomePanel::chartShown);
        QVERIFY(spy.wait(10000));
        QCOMPARE(page.shownCode(), QString("1002"));
        // The first opening's result, if it arrives later, is dropped.
        QTRY_COMPARE_WITH_TIMEOUT(page.home->reopenWorker()->threadCount(), std::size_t(0), 10000);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(page.shownCode(), QString("1002"));
        QCOMPARE(page.home->graphPanel(ChartPeriod::Day)->bars().empty(), false);
        QVERIFY(!page.status.isWaiting());
    }

    void aReopenWaitsWhileARestoreSwapsTheDatabase() {
        Page page(threeCodes());
        page.ctx.currentCode = 1;
        auto restore = page.ctx.priceJobs.tryBegin(market::PriceJob::Restore);
        QVERIFY(restore);
        {
            auto noReaders = restore->excludeReaders();
            page.home->reopen();
            QSignalSpy held(page.home.get(), &app::HomePanel::chartShown);
            QVERIFY(!held.wait(300));
        }
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1002"));
        QCOMPARE(page.ctx.priceJobs.readers(), std::size_t(0));
    }

    void narrowPanelHidesTheHorizontalScrollBar() {
        Page page(threeCodes());
        auto* panel = page.home->graphPanel(ChartPeriod::Day);
        page.home->detachPeriod(ChartPeriod::Day);
        panel->window()->resize(152, 300);
        QTRY_COMPARE(panel->width(), 152);
        QCOMPARE(panel->horizontalScroll()->width(), 0);
    }

    void resizingAtTheNewestBarsKeepsThemAtTheRightEdge() {
        Page page({{"1001", "長期銘柄", 1500, 1000}});
        page.ctx.currentCode = 0;
        page.home->openCurrentCode();
        auto* panel = page.home->graphPanel(ChartPeriod::Day);
        const auto& vs = panel->state();
        panel->horizontalScroll()->setValue(panel->horizontalScroll()->maximum());
        for (int w : {900, 500, 1100}) {
            page.home->resize(w, 700);
            QTRY_COMPARE(panel->state().hscroll.max, panel->horizontalScroll()->maximum());
            QCOMPARE(vs.start_bar, vs.hscroll.max);
        }
        // Scrolled back, a resize keeps the position.
        panel->horizontalScroll()->setValue(10);
        page.home->resize(800, 700);
        QTRY_COMPARE(panel->width(), 800 - 33 - 400);
        QCOMPARE(vs.start_bar, 10);
    }

    void closingAFloatingYearWindowSelectsTheYearTab() {
        Page page(threeCodes());
        page.home->detachPeriod(ChartPeriod::Year);
        QVERIFY(page.home->isFloating(ChartPeriod::Year));
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Day);
        auto* dialog = page.home->graphDialog(ChartPeriod::Year);
        QVERIFY(dialog->isVisible());
        dialog->close();
        QVERIFY(!page.home->isFloating(ChartPeriod::Year));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Year);
        QVERIFY(page.home->graphPanel(ChartPeriod::Year)->isVisible());
        QVERIFY(!page.home->graphPanel(ChartPeriod::Day)->isVisible());

        // With another chart still floating, docking keeps the selection.
        page.home->detachPeriod(ChartPeriod::Week);
        page.home->detachPeriod(ChartPeriod::Month);
        page.home->selectPeriod(ChartPeriod::Day);
        page.home->graphDialog(ChartPeriod::Month)->close();
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Day);
    }
};

QTEST_MAIN(HomePanelTest)
#include "HomePanelTest.moc"

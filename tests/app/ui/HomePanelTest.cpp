// The Home page on a real price database: navigation, favourites, search and reopening, the
// head at every width, floating charts and the chart's keys.
#include "app/HomePanel.h"
#include "app/AdContainerPanel.h"
#include "app/CodeSearchPopup.h"
#include "app/HomeHeadPanel.h"
#include "app/HomeLeftPanel.h"
#include "app/ReopenWorker.h"
#include "app/core/AppContext.h"
#include "chart/ui/GraphDialog.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Log.h"
#include "framework/ui/Browser.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
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
        QLineEdit* box() const { return home->head()->searchBox(); }
        QWidget* chart(ChartPeriod p) const { return home->graphPanel(p)->plotArea(); }
    };

    static int frame(const app::CodeSearchPopup* popup) { return 2 * popup->list()->frameWidth(); }

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
            QCOMPARE(popup->height(), int(dropDown.size()) * app::CodeSearchPopup::RowHeight + frame(popup));
            // Choosing a line opens its code; the box shows the code's name.
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
        auto* popup = page.home->searchPopup();
        QCOMPARE(popup->lines().size(), 30);
        // Whole rows up to 360 pixels, a vertical scroll bar for the rest, never a horizontal one.
        QVERIFY(popup->height() <= app::CodeSearchPopup::MaxHeight);
        QVERIFY(popup->height() + app::CodeSearchPopup::RowHeight > app::CodeSearchPopup::MaxHeight);
        QCOMPARE((popup->height() - frame(popup)) % app::CodeSearchPopup::RowHeight, 0);
        QVERIFY(popup->list()->verticalScrollBar()->isVisible());
        QVERIFY(!popup->list()->horizontalScrollBar()->isVisible());
        // The last visible row lies wholly inside the list.
        const QRect last = popup->list()->visualItemRect(popup->list()->item(popup->visibleRows() - 1));
        QVERIFY(popup->list()->viewport()->rect().contains(last));
    }

    // One match of a long name: one whole row, no scroll bar at all.
    void aSingleRowDropDownShowsItsRowWhole() {
        Page page({{"1001", "極東電機ホールディングス・インターナショナル・グループ株式会社", 20, 1000},
                   {"1002", "極東化学", 20, 1000}});
        type(page.box(), "ホールディングス");
        auto* popup = page.home->searchPopup();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->height(), app::CodeSearchPopup::RowHeight + frame(popup));
        QVERIFY(!popup->list()->horizontalScrollBar()->isVisible());
        QVERIFY(!popup->list()->verticalScrollBar()->isVisible());
        QVERIFY(popup->list()->viewport()->rect().contains(
            popup->list()->visualItemRect(popup->list()->item(0))));
    }

    // Down and Up move the highlight through the drop-down; Enter opens the highlighted code.
    void theDropDownIsUsedFromTheKeyboard() {
        Page page(threeCodes());
        auto* box = page.box();
        box->setFocus();
        type(box, "極東");
        auto* popup = page.home->searchPopup();
        QCOMPARE(popup->highlighted(), -1);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(popup->highlighted(), 0);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down); // held at the last line
        QCOMPARE(popup->highlighted(), 1);
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->text(), QString("極東")); // the keys move the highlight only
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1003"));
        QVERIFY(!popup->isVisible());
        QCOMPARE(box->text(), QString("極東化学"));
    }

    // A name that is part of another name still opens its own code when chosen.
    void choosingANameContainedInAnotherOpensIt() {
        Page page({{"7203", "トヨタ自動車", 20, 1000}, {"7204", "トヨタ", 20, 1000}});
        type(page.box(), "トヨタ");
        page.home->searchPopup()->choose(1);
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("7204"));
    }

    // What an input method types (full width) and lower case find the codes and names.
    void searchFoldsWidthAndCase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("opened");
        QTest::newRow("lower case") << "dji"
                                    << "DJI";
        QTest::newRow("full-width letters") << "ｄｊｉ"
                                            << "DJI";
        QTest::newRow("full-width digits") << "１００２"
                                           << "1002";
        QTest::newRow("half-width kana") << "ﾀﾞｳ"
                                         << "DJI";
    }

    void searchFoldsWidthAndCase() {
        QFETCH(QString, text);
        QFETCH(QString, opened);
        Page page(
            {{"1001", "極東電機", 20, 1000}, {"1002", "北海製作所", 20, 1000}, {"DJI", "NYダウ", 20, 30000}});
        type(page.box(), text);
        QCOMPARE(page.home->searchPopup()->lines().size(), 1);
        QTest::keyClick(page.box(), Qt::Key_Return);
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), opened);
    }

    // After navigation the box shows the current code's name; an opening clears the status
    // bar's message about an earlier search.
    void anOpenedCodeShowsItsNameAndClearsTheMessage() {
        Page page(threeCodes());
        page.ctx.currentCode = 0;
        page.home->openCurrentCode();
        QCOMPARE(page.box()->text(), QString("極東電機"));
        page.box()->setText("9999");
        QTest::keyClick(page.box(), Qt::Key_Return);
        QCOMPARE(page.status.text(), QString("9999はみつかりません"));
        QCOMPARE(page.box()->text(), QString("9999")); // kept for correcting
        page.button("nextbutton")->click();
        QCOMPARE(page.box()->text(), QString("北海製作所"));
        QVERIFY(page.waitShown());
        QCOMPARE(page.status.text(), QString());
        page.button("lastbutton")->click();
        QCOMPARE(page.box()->text(), QString("極東化学"));
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
        page.home->resize(1400, 700);
        QTRY_COMPARE(panel->width(), 1400 - 33 - 400);
        QCOMPARE(vs.start_bar, 10);
    }

    // A chart dropped near any edge of the screen opens wholly inside its available area, at
    // the drop point when there is room.
    void aFloatingChartOpensInsideTheScreen_data() {
        QTest::addColumn<QPointF>("at"); // the drop point as a fraction of the available area
        QTest::newRow("room enough") << QPointF(0.1, 0.1);
        QTest::newRow("left edge") << QPointF(0.0, 0.5);
        QTest::newRow("right edge") << QPointF(1.0, 0.5);
        QTest::newRow("top edge") << QPointF(0.5, 0.0);
        QTest::newRow("bottom edge") << QPointF(0.5, 1.0);
        QTest::newRow("bottom right corner") << QPointF(1.0, 1.0);
    }

    void aFloatingChartOpensInsideTheScreen() {
        QFETCH(QPointF, at);
        Page page(threeCodes());
        page.home->resize(700, 500); // a chart area smaller than the screen
        const QRect available = page.home->screen()->availableGeometry();
        const QPoint drop(available.left() + int(at.x() * (available.width() - 1)),
                          available.top() + int(at.y() * (available.height() - 1)));
        page.home->detachPeriod(ChartPeriod::Week, drop);
        auto* dialog = page.home->graphDialog(ChartPeriod::Week);
        QVERIFY(dialog->isVisible());
        QVERIFY2(available.contains(dialog->frameGeometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                             .arg(dialog->x())
                                                                             .arg(dialog->y())
                                                                             .arg(dialog->width())
                                                                             .arg(dialog->height())));
        QVERIFY(dialog->width() >= 120 && dialog->height() >= 120);
        if (at == QPointF(0.1, 0.1)) // room enough: the window's top-left corner is by the pointer
            QVERIFY2(QRect(drop - QPoint(60, 40), QSize(120, 80)).contains(dialog->frameGeometry().topLeft()),
                     qPrintable(QString("drop %1,%2 window %3,%4 in %5x%6")
                                    .arg(drop.x())
                                    .arg(drop.y())
                                    .arg(dialog->frameGeometry().x())
                                    .arg(dialog->frameGeometry().y())
                                    .arg(available.width())
                                    .arg(available.height())));
        // While its tab is dragged on, the window follows the pointer and stays inside.
        dialog->moveToDropPoint(available.bottomRight() + QPoint(50, 50));
        QVERIFY(available.contains(dialog->frameGeometry()));
    }

    // At the main window's smallest size, with each side-panel width, every control of the head
    // shows whole and none overlaps another or the period tabs.
    void theHeadFitsAtTheSmallestSizeWithAnySidePanel_data() {
        QTest::addColumn<QString>("viewType");
        QTest::newRow("none") << QString(settings::kAdpanelNotView);
        QTest::newRow("normal") << QString(settings::kAdpanelView);
        QTest::newRow("widest") << QString(settings::kAdpanelLargeView);
    }

    void theHeadFitsAtTheSmallestSizeWithAnySidePanel() {
        QFETCH(QString, viewType);
        Page page(threeCodes());
        page.ctx.settings.adpanel_view_type = viewType.toStdString();
        const QSize smallest = page.home->minimumSizeHint();
        QVERIFY(smallest.width() < 1000 && smallest.height() < 700); // small enough for any screen
        for (const QSize size :
             {smallest, QSize(1400, 860), QSize(smallest.width() + 300, smallest.height())}) {
            page.home->resize(size);
            page.home->relayoutCharts();
            auto* head = page.home->head();
            const QRect tabs = page.home->periodTabs()->geometry();
            QVERIFY(head->geometry().right() < tabs.left());
            QList<QRect> placed;
            for (QWidget* w : head->focusChain()) {
                const QRect r(w->mapTo(page.home.get(), QPoint(0, 0)), w->size());
                QVERIFY2(head->geometry().contains(r), qPrintable(w->objectName()));
                QVERIFY2(r.width() >= w->minimumSizeHint().width() || r.width() >= w->sizeHint().width(),
                         qPrintable(w->objectName()));
                for (const QRect& other : placed)
                    QVERIFY2(!other.intersects(r), qPrintable(w->objectName()));
                placed << r;
            }
            // The tool column's groups do not overlap either.
            QVERIFY(page.home->toolColumn()->height() >= page.home->toolColumn()->minimumSizeHint().height());
        }
    }

    // Tab walks the head's controls in order, then the period tabs and the chart.
    void tabWalksTheHeadInOrder() {
        Page page(threeCodes());
        page.ctx.currentCode = 0;
        page.home->openCurrentCode();
        page.home->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.home.get()));
        page.box()->setFocus(Qt::TabFocusReason);
        // Disabled buttons (documents not yet part of the program) are passed over.
        QStringList expected;
        for (const char* name : {"searchbox", "firstbutton", "prevbutton", "nextbutton", "lastbutton", "refreshbutton",
                                 "favlistcheck", "favaddcheck", "printbutton", "newbutton", "openbutton", "savebutton"})
            if (page.home->findChild<QWidget*>(name)->isEnabled())
                expected << name;
        expected << "periodtabs" << "plotarea";
        QVERIFY(expected.size() >= 10);
        QStringList visited{QApplication::focusWidget()->objectName()};
        while (visited.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
        QCOMPARE(QApplication::focusWidget(), page.chart(ChartPeriod::Day));
    }

    // Page Up and Page Down open the previous and next code; 1 to 4 bring the periods forward.
    void chartKeysChangeTheCodeAndThePeriod() {
        Page page(threeCodes());
        page.ctx.currentCode = 1;
        page.home->openCurrentCode();
        QTest::keyClick(page.chart(ChartPeriod::Day), Qt::Key_PageDown);
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1003"));
        QTest::keyClick(page.chart(ChartPeriod::Day), Qt::Key_PageUp);
        QVERIFY(page.waitShown());
        QCOMPARE(page.shownCode(), QString("1002"));

        QTest::keyClick(page.chart(ChartPeriod::Day), Qt::Key_3);
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Month);
        QVERIFY(page.chart(ChartPeriod::Month)->isVisible());
        QTest::keyClick(page.chart(ChartPeriod::Month), Qt::Key_2);
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Week);
        // A floating period is brought forward in its own window; the tabs stay.
        page.home->detachPeriod(ChartPeriod::Year);
        QTest::keyClick(page.chart(ChartPeriod::Week), Qt::Key_4);
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Week);
        QVERIFY(page.home->graphDialog(ChartPeriod::Year)->isVisible());
        QTest::keyClick(page.chart(ChartPeriod::Year), Qt::Key_1);
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Day);
    }

    // The side panel's link shows the help menu's message when no browser starts.
    void theSidePanelLinkSaysWhenNoBrowserStarts() {
        Page page(threeCodes());
        QList<QUrl> asked;
        framework::ui::Browser::setLauncher([&asked](const QUrl& url) {
            asked << url;
            return false;
        });
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        auto* link = page.home->adPanel()->findChild<QLabel*>("adlink");
        emit link->linkActivated(page.home->adPanel()->address());
        framework::ui::Browser::setLauncher({});
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].toString(), page.home->adPanel()->address());
        QCOMPARE(framework::ui::MessageBox::lastText(), QString("ブラウザ起動処理ができません"));
        QCOMPARE(framework::ui::MessageBox::lastCaption(), QString("銘柄情報"));
    }

    // The tab gestures: a click only selects; a double-click floats the chart by the pointer; a
    // tab dragged a little stays, dragged well below the bar its chart floats and the window
    // follows the pointer until the button is released.
    void theTabGesturesFloatAChart() {
        Page page(threeCodes());
        page.home->resize(700, 500);
        QTabBar* tabs = page.home->periodTabs();
        const QRect available = page.home->screen()->availableGeometry();
        const QPoint inside = available.topLeft() + QPoint(available.width() / 10, available.height() / 10);
        auto centre = [tabs](ChartPeriod p) {
            for (int t = 0; t < tabs->count(); ++t)
                if (tabs->tabData(t).toInt() == market::periodIndex(p))
                    return tabs->tabRect(t).center();
            return QPoint(-1, -1);
        };
        auto send = [tabs](QEvent::Type type, const QPoint& local, const QPoint& global,
                           Qt::MouseButtons held) {
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
            QApplication::sendEvent(tabs, &event);
        };

        QTest::mouseClick(tabs, Qt::LeftButton, {}, centre(ChartPeriod::Week));
        QVERIFY(!page.home->isFloating(ChartPeriod::Week));
        QCOMPARE(page.home->selectedPeriod(), ChartPeriod::Week);

        send(QEvent::MouseButtonDblClick, centre(ChartPeriod::Month), inside, Qt::LeftButton);
        QVERIFY(page.home->isFloating(ChartPeriod::Month));
        auto* month = page.home->graphDialog(ChartPeriod::Month);
        QVERIFY(month->isVisible());
        QVERIFY(QRect(inside - QPoint(60, 40), QSize(120, 80)).contains(month->frameGeometry().topLeft()));

        const QPoint press = centre(ChartPeriod::Year);
        send(QEvent::MouseButtonPress, press, tabs->mapToGlobal(press), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(press.x(), tabs->height() + 10), inside, Qt::LeftButton);
        QVERIFY(!page.home->isFloating(ChartPeriod::Year)); // not far enough
        send(QEvent::MouseMove, QPoint(press.x(), tabs->height() + 40), inside, Qt::LeftButton);
        QVERIFY(page.home->isFloating(ChartPeriod::Year));
        auto* year = page.home->graphDialog(ChartPeriod::Year);
        QVERIFY(year->isVisible());
        const QPoint leftAt = year->frameGeometry().topLeft();
        send(QEvent::MouseMove, QPoint(press.x(), tabs->height() + 60), available.topLeft(), Qt::LeftButton);
        const QPoint followed = year->frameGeometry().topLeft();
        QVERIFY2(followed != leftAt && followed.x() <= leftAt.x() && followed.y() <= leftAt.y(),
                 qPrintable(QString("%1,%2 then %3,%4")
                                .arg(leftAt.x())
                                .arg(leftAt.y())
                                .arg(followed.x())
                                .arg(followed.y())));
        send(QEvent::MouseButtonRelease, QPoint(press.x(), tabs->height() + 60), available.topLeft(),
             Qt::NoButton);
        send(QEvent::MouseMove, QPoint(press.x(), tabs->height() + 60), inside, Qt::NoButton);
        QCOMPARE(year->frameGeometry().topLeft(), followed); // dropped: it no longer follows
        QVERIFY(!page.home->isFloating(ChartPeriod::Day));
        QVERIFY(!page.home->isFloating(ChartPeriod::Week));
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

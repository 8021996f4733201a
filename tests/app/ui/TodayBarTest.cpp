// Today's bar from the companion on the Home page: a real local socket answers, the answer is
// merged into the chart shown on the UI thread, and an answer that arrives after another code
// was opened is dropped.
#include "app/HomePanel.h"
#include "app/TodayQuery.h"
#include "app/core/AppContext.h"
#include "framework/Sql.h"
#include "framework/ui/StatusBar.h"
#include "support/CompanionPeer.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <QtTest>

#include <filesystem>
#include <thread>

using namespace tavora;
using market::ChartPeriod;

class TodayBarTest : public QObject {
    Q_OBJECT

    // Two codes priced up to Friday 2024-06-28; today is Monday 2024-07-01, a trading day.
    struct Page {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::StatusBar status;
        std::unique_ptr<test::CompanionPeer> peer;
        std::unique_ptr<app::HomePanel> home;

        Page() {
            qputenv("TAVORA_TODAY", "2024-07-01");
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.str()));
            test::buildSampleContext(ctx, dir / "Tavora",
                                     {{"1001", "極東電機", 200, 1000}, {"1002", "北海製作所", 200, 2000}});
            test::writeFile(dir / "Tavora/marketday/marketday_jpn.csv",
                            "2024-06-27\n2024-06-28\n2024-07-01\n2024-07-02\n");
            peer = std::make_unique<test::CompanionPeer>(dir / "moravelPipe");
            home = std::make_unique<app::HomePanel>(ctx, &status, nullptr);
            home->resize(1200, 700);
            home->show();
        }
        ~Page() {
            home.reset(); // joins the exchanges before the peer goes
            qunsetenv("TAVORA_TODAY");
            qunsetenv("XDG_RUNTIME_DIR");
        }
        bool open(std::size_t index) {
            QSignalSpy shown(home.get(), &app::HomePanel::chartShown);
            home->changeCurrentCode(index);
            return shown.wait(10000);
        }
        bool waitAnswered() {
            return QTest::qWaitFor([&] { return !home->todayQuery()->pending(); }, 5000);
        }
        const market::KeisenElm* bar(ChartPeriod p, const char* date) const {
            for (const auto& b : home->series()->period(p).bars)
                if (b.date == date)
                    return &b;
            return nullptr;
        }
    };

    static std::string reply(std::int64_t volume) {
        return "2024-07-01,x,1200.5,1300,1100.25,1250," + std::to_string(volume) + "\n";
    }

private slots:
    void theAnswerIsMergedIntoTheChartShown() {
        Page page;
        QVERIFY(page.peer->listening());
        page.peer->answerFor("TODAY 1001.T", reply(777));
        QVERIFY(page.open(0));
        QVERIFY(page.waitAnswered());
        QCOMPARE(page.peer->requests(), std::vector<std::string>{"TODAY 1001.T"});
        const market::KeisenElm* today = page.bar(ChartPeriod::Day, "2024-07-01");
        QVERIFY(today && today->open);
        QCOMPARE(*today->close, 1250.0);
        QCOMPARE(today->volume, std::int64_t(777));
        // Today starts a week, a month: their bars take today's prices; the year widens.
        const market::KeisenElm* month = page.bar(ChartPeriod::Month, "2024-07-01");
        QVERIFY(month && month->open);
        QCOMPARE(*month->open, 1200.5);
        QVERIFY(!page.status.isWaiting());
    }

    // The answer for the first opening arrives while the UI thread is busy, and the chart is
    // opened again (another code, or the same one refreshed) before the answer is handled.
    void anAnswerForAnEarlierOpeningIsDropped_data() {
        QTest::addColumn<int>("next");
        QTest::newRow("another code") << 1;
        QTest::newRow("the same code again") << 0;
    }

    void anAnswerForAnEarlierOpeningIsDropped() {
        QFETCH(int, next);
        Page page;
        page.peer->answerNext(reply(111));
        page.peer->answerNext(reply(222));
        QVERIFY(page.open(0));
        QVERIFY(QTest::qWaitFor([&] { return page.peer->requests().size() == 1; }, 3000));
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the first answer is on its way
        // Opened on the UI thread (as at the first layout): the new chart is shown before the
        // first answer's hand-over runs.
        page.ctx.currentCode = std::size_t(next);
        page.home->openCurrentCode();
        QVERIFY(page.waitAnswered());
        QTest::qWait(100);
        QCOMPARE(page.peer->requests().size(), std::size_t(2));
        QCOMPARE(page.home->series()->code, next == 0 ? std::string("1001") : std::string("1002"));
        QCOMPARE(page.bar(ChartPeriod::Day, "2024-07-01")->volume, std::int64_t(222));
        QCOMPARE(page.bar(ChartPeriod::Week, "2024-07-01")->volume, std::int64_t(222));
    }

    void nothingIsAskedWhenSwitchedOffOrNotATradingDay() {
        Page page;
        page.peer->answer(reply(5));
        page.ctx.settings.use_moravel_day_data = false;
        QVERIFY(page.open(0));
        QVERIFY(!page.home->todayQuery()->pending());
        page.ctx.settings.use_moravel_day_data = true;
        qputenv("TAVORA_TODAY", "2024-07-06"); // a Saturday: no day bar
        QVERIFY(page.open(1));
        QVERIFY(!page.home->todayQuery()->pending());
        QTest::qWait(100);
        QVERIFY(page.peer->requests().empty());
    }

    void aSilentCompanionLeavesTheChartAsItWas() {
        Page page;
        framework::PipeLimits quick;
        quick.timeout = framework::Millis(300);
        page.home->todayQuery()->setLimits(quick);
        page.peer->stall();
        QVERIFY(page.open(0));
        QVERIFY(page.status.isWaiting());
        QVERIFY(page.waitAnswered());
        QVERIFY(!page.status.isWaiting());
        QVERIFY(!page.bar(ChartPeriod::Day, "2024-07-01")->open);
    }

    // 更新 (539): the companion's warehouse is merged before the chart is opened again, and a
    // failed merge stays in the status bar after the reopened chart is shown.
    void refreshMergesTheCompanionBeforeReopening() {
        Page page;
        QVERIFY(page.open(0));
        QVERIFY(page.waitAnswered());
        const std::string companion = (page.dir / "moravel/data/kabukadb/kabuka.db").string();
        std::filesystem::create_directories(std::filesystem::path(companion).parent_path());
        {
            framework::ZSqlElement db;
            QCOMPARE(framework::SQL_Open(db, companion), 0);
            QCOMPARE(framework::SQL_exec(db, "CREATE TABLE sync_kabukadb (code TEXT, date TEXT, open REAL, "
                                             "high REAL, low REAL, close REAL, volume INTEGER);"
                                             "INSERT INTO sync_kabukadb VALUES "
                                             "('1001','2024-07-01',1400,1450,1390,1420,4242);"),
                     0);
        }
        page.ctx.settings.sync_moravel_db = false; // 更新 does not ask the flag
        const auto asked = page.peer->requests().size();
        QSignalSpy shown(page.home.get(), &app::HomePanel::chartShown);
        page.home->onCommand(app::Command::Refresh);
        QVERIFY(shown.wait(10000));
        const market::KeisenElm* today = page.bar(ChartPeriod::Day, "2024-07-01");
        QVERIFY(today && today->open);
        QCOMPARE(today->volume, std::int64_t(4242));
        QCOMPARE(page.peer->requests().size(), asked); // today is priced now: nothing to ask
        QCOMPARE(page.status.text(), QString());

        std::filesystem::remove(companion);
        test::writeFile(companion, "not a database, only text that goes on for a good while");
        page.home->onCommand(app::Command::Refresh);
        QVERIFY(shown.wait(10000));
        QCOMPARE(page.status.text(), QString("moravelとデータ同期キャンセル"));
    }
};

QTEST_MAIN(TodayBarTest)
#include "TodayBarTest.moc"

// The データ取込 page inside the real main window: a job's result stays in the status bar after
// the chart has been opened again, and a message of one page does not follow the user to
// another tab.
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "csv/ui/CsvFilePanel.h"
#include "csv/ui/DataTorikomiPage.h"
#include "framework/ui/StatusBar.h"
#include "framework/ui/TitleTabBar.h"
#include "support/KabuPlusFiles.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tavora;
namespace fs = std::filesystem;

class ImportPageWindowTest : public QObject {
    Q_OBJECT

    struct Window {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::TitleTabBar tabs{
            QIcon(),
            "Tavora Ver1.7.6",
            {{"ホーム", 2, 70}, {"データ取込", 74, 110}, {"設定", 186, 50}, {"ヘルプ", 238, 50}}};
        std::unique_ptr<app::MainPanel> main;

        Window() {
            test::buildSampleContext(ctx, dir.path(), {{"1301", "極洋", 50, 1000}});
            ctx.paths.dataDir = (dir / "data").string();
            ctx.paths.backupDir = (dir / "data" / "buckup").string();
            ctx.paths.csvWorkDir = (dir / "tmp" / "createcsv").string();
            ctx.settings.buckupcreate_ch = false;
            ctx.currentCode = 0;
            main = std::make_unique<app::MainPanel>(ctx, &tabs, nullptr);
            main->resize(1200, 800);
            main->show();
        }
        framework::ui::StatusBar* status() const { return main->statusBar(); }
        csv::ui::DataTorikomiPage* page() const { return main->importPage(); }
    };

private slots:
    // The registration's "N 件登録" is what the status bar says once the chart it changed is
    // open again (the opening used to clear it at once).
    void registrationResultOutlivesTheReopenedChart() {
        Window w;
        w.tabs.clickTab(app::MainPanel::TabImport);
        const fs::path source = w.dir / "in" / "day.csv";
        test::writeFile(source, test::kabuPlusDayFile("2026-01-05", 30));
        QCOMPARE(w.page()->filePanel()->addFiles({QString::fromStdString(source.string())}), 1);
        QSignalSpy shown(w.main->homePanel(), &app::HomePanel::chartShown);
        w.page()->onCommand(app::Command::RunRegistration);
        QVERIFY(shown.wait(30000));
        QCOMPARE(w.status()->text(), QString("30 件登録"));
    }

    void aMessageStaysOnTheTabItWasSaidOn() {
        Window w;
        w.status()->setText("保存しました");
        w.tabs.clickTab(app::MainPanel::TabImport);
        QCOMPARE(w.status()->text(), QString());
        w.status()->setText("取込み設定を保存できませんでした");
        w.tabs.clickTab(app::MainPanel::TabHome);
        QCOMPARE(w.status()->text(), QString());
        // A running job's progress is not a page's message: it stays.
        w.status()->startWait();
        w.status()->setText("1 / 3 day.csv");
        w.tabs.clickTab(app::MainPanel::TabImport);
        QCOMPARE(w.status()->text(), QString("1 / 3 day.csv"));
        w.status()->stopWait();
    }
};

QTEST_MAIN(ImportPageWindowTest)
#include "ImportPageWindowTest.moc"

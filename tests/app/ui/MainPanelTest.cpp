// The main panel: tab switching with its prompts, the help tab and the side sheet.
#include "app/MainPanel.h"
#include "acquisition/PriceBackup.h"
#include "app/HomePanel.h"
#include "app/core/AppContext.h"
#include "csv/CsvMappingStore.h"
#include "csv/ui/BackupRestorePanel.h"
#include "csv/ui/CsvMappingPanel.h"
#include "csv/ui/DataTorikomiPage.h"
#include "csv/ui/PriceJobRunner.h"
#include "csv/ui/PriceJobsController.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/NoticePopup.h"
#include "framework/ui/PropertyDialog.h"
#include "framework/ui/SideSheetPanel.h"
#include "framework/ui/StatusBar.h"
#include "framework/ui/TabPage.h"
#include "framework/ui/TitleTabBar.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

using namespace tavora;
using framework::ui::MessageBox;

namespace {
// Stand-ins for the settings page and a side-sheet panel, with an unsaved state to set.
class EditablePage : public framework::ui::TabPage {
public:
    using TabPage::TabPage;
    QString pageName() const override { return "銘柄コード"; }
    bool hasUnsavedChanges() const override { return unsaved; }
    void initPanel() override { ++shown; }
    bool unsaved = false;
    int shown = 0;
};

class EditableSheetPanel : public framework::ui::SideSheetPanel {
public:
    using SideSheetPanel::SideSheetPanel;
    QString panelName() const override { return "色"; }
    bool hasUnsavedChanges() const override { return unsaved; }
    bool applyChanges() override {
        ++applied;
        return true;
    }
    bool unsaved = false;
    int applied = 0;
};
}  // namespace

class MainPanelTest : public QObject {
    Q_OBJECT

    struct Window {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::TitleTabBar tabs{QIcon(), "Tavora Ver1.7.6",
                                        {{"ホーム", 2, 70}, {"データ取込", 74, 110}, {"設定", 186, 50}, {"ヘルプ", 238, 50}}};
        std::unique_ptr<app::MainPanel> main;
        EditablePage* settings = new EditablePage;
        EditableSheetPanel* sheetPanel = new EditableSheetPanel;

        explicit Window(bool withSettings = true) {
            test::buildSampleContext(ctx, dir.path(), {{"1001", "極東電機", 50, 1000}});
            main = std::make_unique<app::MainPanel>(ctx, &tabs, nullptr);
            if (withSettings)
                main->installPage(app::MainPanel::TabSettings, settings);
            else
                delete settings;
            main->addSheetPanel(sheetPanel);
            main->resize(1000, 700);
            main->show();
        }
        bool openSheet(int width) {
            main->showSheetPanel(sheetPanel, width);
            return QTest::qWaitFor([&] { return !main->sideSheet()->isSliding(); }, 3000);
        }
    };

private slots:
    void cleanup() { MessageBox::setNextAnswer(QMessageBox::NoButton); }

    void helpTabNeverChangesThePage() {
        Window w;
        for (int from : {app::MainPanel::TabHome, app::MainPanel::TabSettings}) {
            w.tabs.clickTab(from);
            w.tabs.clickTab(app::MainPanel::TabHelp);
            QCOMPARE(w.main->visiblePage(), from);
            QCOMPARE(w.tabs.currentIndex(), from);
            QVERIFY(w.main->helpMenu()->isVisible());
            QCOMPARE(w.main->helpMenu()->actions().size(), 5);
            w.main->helpMenu()->hide();
        }
    }

    void theSettingsTabShowsTheSettingsPage() {
        Window w(false);
        w.tabs.clickTab(app::MainPanel::TabSettings);
        QCOMPARE(w.tabs.currentIndex(), int(app::MainPanel::TabSettings));
        QCOMPARE(w.main->visiblePage(), int(app::MainPanel::TabSettings));
        QVERIFY(w.main->findChild<QWidget*>("ZSetteiPanel")->isVisible());
    }

    void importTabShowsItsPageAndKeepsTheMappingWhenLeft() {
        Window w;
        w.tabs.clickTab(app::MainPanel::TabImport);
        QCOMPARE(w.main->visiblePage(), int(app::MainPanel::TabImport));
        auto* page = w.main->importPage();
        QVERIFY(page->isVisible());
        page->mappingPanel()->findChild<QRadioButton*>("separatorTab")->setChecked(true);
        w.tabs.clickTab(app::MainPanel::TabHome);
        QCOMPARE(csv::loadCsvMapping(w.ctx.paths.setteiDb).separator, csv::CsvSeparator::Tab);
        // The exit does the same while the page is shown.
        w.tabs.clickTab(app::MainPanel::TabImport);
        page->mappingPanel()->findChild<QRadioButton*>("separatorComma")->setChecked(true);
        w.main->leaveVisiblePage();
        QCOMPARE(csv::loadCsvMapping(w.ctx.paths.setteiDb).separator, csv::CsvSeparator::Comma);
    }

    // The settings page's バックアップ and 以前のデータに復元 reach the price jobs the import page
    // uses: a backup is made, and the restore panel opens in the side sheet offering it.
    void theSettingsPageBackupAndRestoreReachThePriceJobs() {
        Window w(false);
        w.ctx.paths.backupDir = (w.dir / "data" / "buckup").string();
        w.tabs.clickTab(app::MainPanel::TabSettings);
        QSignalSpy done(w.main->priceJobs()->runner(), &csv::ui::PriceJobRunner::finished);
        w.main->findChild<QPushButton*>("backupbutton")->click();
        QVERIFY(done.wait(30000));
        QCOMPARE(acquisition::ListPriceBackups(w.ctx.paths.backupDir).size(), std::size_t{1});
        QVERIFY2(w.main->statusBar()->text().startsWith(QString::fromUtf8(acquisition::kBackupDoneText)),
                 qPrintable(w.main->statusBar()->text()));
        w.main->findChild<QPushButton*>("restorebutton")->click();
        QVERIFY(QTest::qWaitFor([&] { return !w.main->sideSheet()->isSliding(); }, 3000));
        QCOMPARE(w.main->sideSheet()->currentPanel(), w.main->priceJobs()->restorePanel());
        QCOMPARE(w.main->priceJobs()->restorePanel()->list()->count(), 1);
    }

    void leavingUnsavedSettings_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("expectedPage");
        QTest::newRow("No stays") << int(QMessageBox::No) << int(app::MainPanel::TabSettings);
        QTest::newRow("Yes leaves") << int(QMessageBox::Yes) << int(app::MainPanel::TabHome);
    }

    void leavingUnsavedSettings() {
        QFETCH(int, answer);
        QFETCH(int, expectedPage);
        Window w;
        w.tabs.clickTab(app::MainPanel::TabSettings);
        QCOMPARE(w.settings->shown, 1);
        w.settings->unsaved = true;
        MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
        w.tabs.clickTab(app::MainPanel::TabHome);
        QCOMPARE(MessageBox::lastCaption(), QString("設定 銘柄コード"));
        QVERIFY(MessageBox::lastText().startsWith("編集中のデータがあります。"));
        QCOMPARE(w.main->visiblePage(), expectedPage);
        QCOMPARE(w.tabs.currentIndex(), expectedPage);
    }

    void unsavedSideSheetPanelAsksBeforeATabSwitch() {
        Window w;
        QVERIFY(w.openSheet(400));
        w.sheetPanel->unsaved = true;
        MessageBox::setNextAnswer(QMessageBox::No);
        w.tabs.clickTab(app::MainPanel::TabSettings);
        QCOMPARE(MessageBox::lastCaption(), QString("色"));
        QCOMPARE(w.main->visiblePage(), int(app::MainPanel::TabHome));
        QCOMPARE(w.tabs.currentIndex(), int(app::MainPanel::TabHome));
        QVERIFY(w.main->sideSheet()->isOpen());
        // The sheet's own close asks too; No keeps it open.
        MessageBox::setNextAnswer(QMessageBox::No);
        QVERIFY(!w.main->closeSideSheet());
        QVERIFY(w.main->sideSheet()->isOpen());
    }

    void sideSheetSlidesToItsWidths() {
        Window w;
        auto* sheet = w.main->sideSheet();
        QCOMPARE(sheet->sheetWidth(), framework::ui::PropertyDialog::ClosedWidth);
        QVERIFY(w.openSheet(500));
        QCOMPARE(sheet->sheetWidth(), 510);
        QCOMPARE(sheet->geometry(), QRect(1000 - 510, 0, 510, 700));
        QVERIFY(w.sheetPanel->isVisible());
        auto* shadow = w.main->findChild<QWidget*>("shadowpanel");
        QVERIFY(shadow->isVisible());
        QCOMPARE(shadow->geometry(), QRect(0, 0, 490, 675));

        // Apply (302) runs the panel's apply and closes the sheet.
        w.main->onCommand(app::Command::SheetApply);
        QVERIFY(QTest::qWaitFor([&] { return !sheet->isSliding(); }, 3000));
        QCOMPARE(w.sheetPanel->applied, 1);
        QCOMPARE(sheet->sheetWidth(), framework::ui::PropertyDialog::ClosedWidth);
        QVERIFY(!w.sheetPanel->isVisible());
        QVERIFY(!shadow->isVisible());
    }

    void updateNoticeSettlesInTheCornerAndGoes() {
        Window w;
        auto* notice = w.main->noticePopup();
        w.main->showUpdateNotice("Tavoraの更新プログラムがみつかりました。");
        QVERIFY(notice->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(notice->size(), QSize(300, 200), 2000);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(notice->geometry().bottomRight(), area.bottomRight() - QPoint(20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 8000);  // five seconds, then it shrinks away
    }

    void updateQuestionSetsTheFlagOnlyOnYes() {
        Window w;
        QSignalSpy closing(w.main.get(), &app::MainPanel::closeRequested);
        auto* update = w.main->helpMenu()->actions().at(1);
        MessageBox::setNextAnswer(QMessageBox::No);
        update->trigger();
        QVERIFY(!w.ctx.updateOnExit);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        update->trigger();
        QCOMPARE(MessageBox::lastCaption(), QString("ソフトウエア更新"));
        QVERIFY(w.ctx.updateOnExit);
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_MAIN(MainPanelTest)
#include "MainPanelTest.moc"

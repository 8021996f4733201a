// The settings page as the user drives it: every key it edits goes to settei.db and into the
// context, a code list that cannot serve is refused without touching the catalogue, a failed
// write is never reported as saved, and the code table previews the list.
#include "settings/ui/SettingsPage.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "chart/ScaleStore.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "settings/SettingsStore.h"
#include "settings/ui/CodeSettingsPanel.h"
#include "settings/ui/CodeTablePanel.h"
#include "settings/ui/DownloadSettingsPanel.h"
#include "settings/ui/KabuplusSettingsPanel.h"
#include "settings/ui/MoravelSettingsPanel.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

using namespace tavora;
using framework::ui::FileDialog;
using framework::ui::MessageBox;
using settings::ui::SettingsPage;

namespace {
const char* const kDownloaded = "1001,極東電機,電気機器,東証プライム\n1002,北海製作所,機械,東証プライム\n";
const char* const kOwn = "7203,トヨタ自動車,輸送用機器,東証プライム\n7201,日産自動車,輸送用機器,名証\n";
} // namespace

class SettingsPageTest : public QObject {
    Q_OBJECT

    struct Fixture {
        test::TempDir dir;
        app::AppContext ctx;
        Fixture() {
            test::buildSampleContext(ctx, dir / "Tavora",
                                     {{"1001", "極東電機", 50, 1000}, {"1002", "北海製作所", 50, 2000}});
            test::writeFile(ctx.paths.codeInfoCsv, kDownloaded);
            test::writeFile(dir / "own.csv", kOwn);
        }
        std::string own() const { return (dir / "own.csv").string(); }
        settings::Settings stored() const { return settings::SettingsStore(ctx.paths.setteiDb).load(); }
    };

    static auto* codePanel(SettingsPage& p) {
        return static_cast<settings::ui::CodeSettingsPanel*>(p.section(0));
    }
    static auto* kabuplus(SettingsPage& p) {
        return static_cast<settings::ui::KabuplusSettingsPanel*>(p.section(1));
    }
    static auto* moravel(SettingsPage& p) {
        return static_cast<settings::ui::MoravelSettingsPanel*>(p.section(2));
    }

    static void chooseOwnList(SettingsPage& page, const std::string& path) {
        auto* code = codePanel(page);
        code->autoRefresh()->setChecked(false);
        FileDialog::setNextFileName(QString::fromStdString(path));
        code->browseButton()->click();
    }

private slots:
    void initTestCase() { qputenv("TAVORA_NONINTERACTIVE", "1"); }
    void cleanup() {
        FileDialog::clearNextFileName();
        MessageBox::setNextAnswer(QMessageBox::NoButton);
    }

    void savesEveryKeyAndShowsItAgain_data() {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<bool>("sync");
        QTest::addColumn<bool>("today");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("own list, companion off") << false << false << false << "kabu01"
                                                 << "p@ss w0rd:日本";
        QTest::newRow("downloaded list, companion on, empty account") << true << true << true << ""
                                                                      << "";
    }

    void savesEveryKeyAndShowsItAgain() {
        QFETCH(bool, automatic);
        QFETCH(bool, sync);
        QFETCH(bool, today);
        QFETCH(QString, user);
        QFETCH(QString, password);
        Fixture f;
        // Start from the opposite of what is saved, so every key really changes.
        f.ctx.settings.codeauto_ch = !automatic;
        f.ctx.settings.sync_moravel_db = !sync;
        f.ctx.settings.use_moravel_day_data = !today;
        f.ctx.settings.kabuplusid = "old";
        f.ctx.settings.kabupluspw = "old";
        if (automatic) {
            f.ctx.settings.codelistcsvpath = f.own();
            f.ctx.paths.codeListInUse = f.own();
        }
        SettingsPage page(f.ctx);
        page.initPanel();
        QVERIFY(!page.hasUnsavedChanges());
        QSignalSpy commands(&page, &SettingsPage::command);
        QSignalSpy status(&page, &SettingsPage::statusText);

        if (automatic)
            codePanel(page)->autoRefresh()->setChecked(true);
        else
            chooseOwnList(page, f.own());
        kabuplus(page)->userField()->setText(user);
        kabuplus(page)->passwordField()->setText(password);
        moravel(page)->syncAtStart()->setChecked(sync);
        moravel(page)->todayPrices()->setChecked(today);
        QVERIFY(page.hasUnsavedChanges());
        page.saveButton()->click();

        QCOMPARE(status.size(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QString(SettingsPage::kSavedText));
        const std::string list = automatic ? f.ctx.paths.codeInfoCsv : f.own();
        const settings::Settings s = f.stored();
        QCOMPARE(s.codelistcsvpath, list);
        QCOMPARE(s.codeauto_ch, automatic);
        QCOMPARE(s.kabuplusid, user.toStdString());
        QCOMPARE(s.kabupluspw, password.toStdString());
        QCOMPARE(s.sync_moravel_db, sync);
        QCOMPARE(s.use_moravel_day_data, today);
        // The context follows, and the catalogue is reloaded from the new source (155).
        QCOMPARE(f.ctx.settings.codelistcsvpath, list);
        QCOMPARE(f.ctx.settings.codeauto_ch, automatic);
        QCOMPARE(f.ctx.paths.codeListInUse, list);
        QCOMPARE(f.ctx.settings.kabupluspw, password.toStdString());
        QCOMPARE(f.ctx.settings.sync_moravel_db, sync);
        QCOMPARE(f.ctx.settings.use_moravel_day_data, today);
        QCOMPARE(commands.size(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 155);
        QVERIFY(!page.hasUnsavedChanges());

        // Shown again, the page shows what was saved.
        SettingsPage again(f.ctx);
        again.initPanel();
        QCOMPARE(codePanel(again)->pathLabel()->text(), QString::fromStdString(list));
        QCOMPARE(codePanel(again)->autoRefresh()->isChecked(), automatic);
        QCOMPARE(codePanel(again)->browseButton()->isEnabled(), !automatic);
        QCOMPARE(kabuplus(again)->userField()->text(), user);
        QCOMPARE(kabuplus(again)->passwordField()->text(), password);
        QCOMPARE(moravel(again)->syncAtStart()->isChecked(), sync);
        QCOMPARE(moravel(again)->todayPrices()->isChecked(), today);
        QCOMPARE(codePanel(again)->table()->rowCount(), 2);
    }

    void tickingAutomaticRefreshDiscardsTheChosenFile() {
        Fixture f;
        f.ctx.settings.codeauto_ch = false;
        SettingsPage page(f.ctx);
        page.initPanel();
        auto* code = codePanel(page);
        QVERIFY(code->browseButton()->isEnabled());
        chooseOwnList(page, f.own());
        QCOMPARE(code->pathLabel()->text(), QString::fromStdString(f.own()));
        code->autoRefresh()->setChecked(true);
        QCOMPARE(code->pathLabel()->text(), QString::fromStdString(f.ctx.paths.codeInfoCsv));
        QVERIFY(!code->browseButton()->isEnabled());
        QVERIFY(!code->pathLabel()->isEnabled());
        QVERIFY(page.save());
        QCOMPARE(f.stored().codelistcsvpath, f.ctx.paths.codeInfoCsv);
        QVERIFY(f.stored().codeauto_ch);
        // "初期値に戻す" puts the downloaded list back without a chooser.
        code->autoRefresh()->setChecked(false);
        chooseOwnList(page, f.own());
        code->resetButton()->click();
        QCOMPARE(code->pathLabel()->text(), QString::fromStdString(f.ctx.paths.codeInfoCsv));
    }

    void aCodeListThatCannotServeKeepsTheCatalogue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("reason");
        QTest::newRow("records of three fields")
            << QByteArray("7203,トヨタ自動車,輸送用機器\n") << false << "銘柄がありません";
        QTest::newRow("empty file") << QByteArray() << false << "銘柄がありません";
        QTest::newRow("not UTF-8") << QByteArray("7203,\xff\xfe,x,y\n") << false << "読み込めません";
        QTest::newRow("deleted after choosing") << QByteArray(kOwn) << true << "見つかりません";
    }

    void aCodeListThatCannotServeKeepsTheCatalogue() {
        QFETCH(QByteArray, content);
        QFETCH(bool, deleted);
        QFETCH(QString, reason);
        Fixture f;
        app::MainPanel main(f.ctx, nullptr, nullptr);
        main.homePanel()->changeCurrentCode(1);
        auto* page = main.findChild<SettingsPage*>();
        QVERIFY(page);
        page->initPanel();
        const auto bad = f.dir / "bad.csv";
        test::writeFile(bad, content.toStdString());
        chooseOwnList(*page, bad.string());
        if (deleted)
            std::filesystem::remove(bad);
        kabuplus(*page)->userField()->setText("changed");

        QVERIFY(!page->save());
        QVERIFY2(MessageBox::lastText().contains(reason), qPrintable(MessageBox::lastText()));
        QVERIFY(MessageBox::lastText().contains("以前のまま使います"));
        QCOMPARE(main.statusBar()->text(), QString(SettingsPage::kNotSavedText));
        // Nothing written, nothing taken into the context, the catalogue and its current code stay.
        QVERIFY(f.stored().codelistcsvpath.empty());
        QVERIFY(f.stored().kabuplusid.empty());
        QVERIFY(f.ctx.settings.kabuplusid.empty());
        QCOMPARE(f.ctx.paths.codeListInUse, f.ctx.paths.codeInfoCsv);
        QCOMPARE(f.ctx.catalogue.size(), std::size_t(2));
        QCOMPARE(f.ctx.catalogue[0].code, std::string("1001"));
        QCOMPARE(f.ctx.currentCode, std::optional<std::size_t>(1));
        QCOMPARE(page->currentSection(), 0); // the section that refused is shown
        QVERIFY(page->hasUnsavedChanges());
    }

    void aNewCodeListReplacesTheCatalogueAfterTheScaleIsStored() {
        Fixture f;
        QCOMPARE(framework::SQL_exec(f.ctx.scaleDb, chart::kCreateScaleTableSql), 0);
        app::MainPanel main(f.ctx, nullptr, nullptr);
        main.homePanel()->changeCurrentCode(1);
        auto* page = main.findChild<SettingsPage*>();
        page->initPanel();
        chooseOwnList(*page, f.own());
        QVERIFY(page->save());
        QCOMPARE(main.statusBar()->text(), QString(SettingsPage::kSavedText));
        QCOMPARE(f.ctx.catalogue.size(), std::size_t(2));
        QCOMPARE(f.ctx.catalogue[0].code, std::string("7203"));
        QCOMPARE(f.ctx.catalogue[1].symbol, std::string("7201.N"));
        QCOMPARE(f.ctx.currentCode, std::optional<std::size_t>(0));
        // The scale of the code shown before the reload was stored under its own code.
        framework::SQLList rows;
        rows.columns = {"code"};
        framework::SQL_exec(f.ctx.scaleDb, "SELECT code FROM graphdata_tb;", rows);
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.rows[0].value("code"), std::string("1002"));
        QCOMPARE(codePanel(*page)->table()->rowCount(), 2);
    }

    void aFailedWriteIsNeverReportedAsSaved() {
        Fixture f;
        f.ctx.paths.setteiDb = (f.dir / "no such folder" / "settei.db").string();
        SettingsPage page(f.ctx);
        page.initPanel();
        QSignalSpy status(&page, &SettingsPage::statusText);
        const bool before = f.ctx.settings.sync_moravel_db;
        moravel(page)->syncAtStart()->setChecked(!before);
        QVERIFY(!page.save());
        QCOMPARE(status.size(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QString(SettingsPage::kNotSavedText));
        QCOMPARE(f.ctx.settings.sync_moravel_db, before);
        QVERIFY(page.hasUnsavedChanges());
    }

    void aPageNotYetShownReadsNothingAndSavesNothingNew() {
        Fixture f;
        f.ctx.settings.codeauto_ch = false;
        f.ctx.settings.codelistcsvpath = f.own();
        f.ctx.paths.codeListInUse = f.own();
        f.ctx.settings.kabuplusid = "kabu01";
        SettingsPage page(f.ctx);
        // Built with the window, the page leaves the code list unread until it is shown.
        QCOMPARE(codePanel(page)->table()->rowCount(), 0);
        QVERIFY(!page.hasUnsavedChanges());
        // Saved unshown (nothing the user could have typed), the context's values stay as they are.
        QVERIFY(page.save());
        QCOMPARE(f.ctx.settings.codelistcsvpath, f.own());
        QCOMPARE(f.ctx.settings.codeauto_ch, false);
        QCOMPARE(f.ctx.settings.kabuplusid, std::string("kabu01"));
        QCOMPARE(f.stored().kabuplusid, std::string("kabu01"));
        QCOMPARE(codePanel(page)->table()->rowCount(), 2);
        page.initPanel();
        QCOMPARE(codePanel(page)->pathLabel()->text(), QString::fromStdString(f.own()));
        QVERIFY(!page.hasUnsavedChanges());
    }

    void thePasswordIsHiddenUntilRevealed() {
        Fixture f;
        f.ctx.settings.kabupluspw = "secret";
        SettingsPage page(f.ctx);
        page.initPanel();
        auto* k = kabuplus(page);
        QCOMPARE(k->passwordField()->echoMode(), QLineEdit::Password);
        QCOMPARE(k->revealButton()->size(), QSize(25, 25));
        k->revealButton()->click();
        QCOMPARE(k->passwordField()->echoMode(), QLineEdit::Normal);
        k->revealButton()->click();
        QCOMPARE(k->passwordField()->echoMode(), QLineEdit::Password);
        k->revealButton()->click();
        page.initPanel(); // shown again: hidden again
        QCOMPARE(k->passwordField()->echoMode(), QLineEdit::Password);
    }

    void theTreeNamesTheSectionsAndKeepsEditsWhileSwitching() {
        Fixture f;
        SettingsPage page(f.ctx);
        page.initPanel();
        const QStringList captions{"銘柄コード", "KABU+設定情報", "モラベル", "株価初回ダウンロード"};
        QCOMPARE(page.tree()->topLevelItemCount(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(page.tree()->topLevelItem(i)->text(0), captions[i]);
            page.tree()->setCurrentItem(page.tree()->topLevelItem(i));
            QCOMPARE(page.pageName(), captions[i]);
            QCOMPARE(page.descriptionLabel()->text(), page.section(i)->description());
        }
        QCOMPARE(page.section(1)->title(), QString("KABU+　設定情報"));
        page.selectSection(2);
        moravel(page)->todayPrices()->toggle();
        page.selectSection(0);
        page.selectSection(2);
        QVERIFY(moravel(page)->todayPrices()->isChecked() != f.ctx.settings.use_moravel_day_data);
        QVERIFY(page.hasUnsavedChanges());
    }

    void theAccountPassesTheChecksOfConfig_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("error");
        QTest::newRow("colon in the id") << "kabu:01"
                                         << "pw"
                                         << "ユーザーIDに「:」は使えません。";
        QTest::newRow("tab in the password") << "kabu01"
                                             << "p\tw"
                                             << "パスワードに制御文字は使えません。";
        QTest::newRow("line break in the id") << "kabu\n01"
                                              << "pw"
                                              << "ユーザーIDに制御文字は使えません。";
    }

    void theAccountPassesTheChecksOfConfig() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, error);
        Fixture f;
        SettingsPage page(f.ctx);
        page.initPanel();
        QSignalSpy status(&page, &SettingsPage::statusText);
        kabuplus(page)->userField()->setText(user);
        kabuplus(page)->passwordField()->setText(password);
        moravel(page)->syncAtStart()->toggle();
        // "認証" checks the entries as saving would.
        kabuplus(page)->authenticateButton()->click();
        QCOMPARE(status.takeLast().at(0).toString(), error);
        QVERIFY(!page.save());
        QCOMPARE(MessageBox::lastText(), error);
        QCOMPARE(page.currentSection(), 1);
        QVERIFY(f.stored().kabuplusid.empty()); // nothing of the save was written
        QVERIFY(f.ctx.settings.kabuplusid.empty());
        kabuplus(page)->userField()->setText("kabu01");
        kabuplus(page)->passwordField()->setText("p@ss");
        kabuplus(page)->authenticateButton()->click();
        QCOMPARE(status.takeLast().at(0).toString(),
                 QString(settings::ui::KabuplusSettingsPanel::kEntriesAcceptedText));
        QVERIFY(page.save());
        QCOMPARE(f.stored().kabupluspw, std::string("p@ss"));
    }

    void savesWhileTheDownloadedListIsNotThereYet() {
        Fixture f;
        std::filesystem::remove(f.ctx.paths.codeInfoCsv); // a first start without the server
        SettingsPage page(f.ctx);
        page.initPanel();
        moravel(page)->todayPrices()->toggle();
        QVERIFY(page.save());
        QCOMPARE(f.stored().use_moravel_day_data, !settings::Settings{}.use_moravel_day_data);
        QVERIFY(f.stored().codelistcsvpath.empty()); // the unchanged source is not written
        // Ticking the downloaded list while it is missing is refused: the catalogue stays.
        f.ctx.settings.codeauto_ch = false;
        page.initPanel();
        codePanel(page)->autoRefresh()->setChecked(true);
        QVERIFY(!page.save());
        QVERIFY(MessageBox::lastText().contains("見つかりません"));
    }

    void theButtonsSendTheirCommands() {
        Fixture f;
        SettingsPage page(f.ctx);
        QSignalSpy commands(&page, &SettingsPage::command);
        moravel(page)->backupButton()->click();
        moravel(page)->restoreButton()->click();
        static_cast<settings::ui::DownloadSettingsPanel*>(page.section(3))->pageButton()->click();
        QCOMPARE(commands.size(), 3);
        QCOMPARE(commands.at(0).at(0).toInt(), 165);
        QCOMPARE(commands.at(1).at(0).toInt(), 152);
        QCOMPARE(commands.at(2).at(0).toInt(), 167);
    }

    void theCodeTableShowsEveryRecord() {
        test::TempDir dir;
        const auto file = dir / "codes.csv";
        test::writeFile(
            file, "0001,日経平均株価,指数,東証指数\n1001,極東電機\n1002,北海製作所,機械,東証プライム,余分\n");
        settings::ui::CodeTablePanel table;
        table.initPanel(file.string());
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.columnCount(), 4);
        const QStringList captions{"コード", "銘柄名", "業種", "市場"};
        const int widths[] = {100, 300, 120, 150};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(table.horizontalHeaderItem(c)->text(), captions[c]);
            QCOMPARE(table.columnWidth(c), widths[c]);
        }
        QCOMPARE(table.verticalHeader()->defaultSectionSize(), 25);
        QCOMPARE(table.item(0, 1)->text(), QString("日経平均株価"));
        QCOMPARE(table.item(1, 1)->text(), QString("極東電機")); // a short record is shown too
        QCOMPARE(table.item(1, 2)->text(), QString());
        QCOMPARE(table.item(2, 3)->text(), QString("東証プライム"));
        table.initPanel((dir / "missing.csv").string());
        QCOMPARE(table.rowCount(), 0);
    }
};

QTEST_MAIN(SettingsPageTest)
#include "SettingsPageTest.moc"

// The データ取込 page on a real price database: files dropped into the import folder, the
// preview following the mapping, a registration with its result text, a second job refused,
// the mapping kept at tab change, and the page's backup, restore, per-code and old-data entries.
#include "csv/ui/DataTorikomiPage.h"
#include "acquisition/PriceBackup.h"
#include "app/core/AppContext.h"
#include "csv/CsvMappingStore.h"
#include "csv/ui/BackupRestorePanel.h"
#include "csv/ui/CodeDataPanel.h"
#include "csv/ui/CsvFilePanel.h"
#include "csv/ui/CsvMappingPanel.h"
#include "csv/ui/CsvPreviewTable.h"
#include "csv/ui/CsvRegisterPanel.h"
#include "csv/ui/OldDataPanel.h"
#include "csv/ui/PriceJobRunner.h"
#include "csv/ui/PriceJobsController.h"
#include "framework/Encoding.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "market/PriceDatabase.h"
#include "support/KabuPlusFiles.h"
#include "support/NginxServer.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QUrl>
#include <QtTest>

using namespace tavora;
namespace fs = std::filesystem;

class DataTorikomiPageTest : public QObject {
    Q_OBJECT

    struct Page {
        test::TempDir dir;
        app::AppContext ctx;
        framework::ui::StatusBar status;
        std::vector<framework::ui::SideSheetPanel*> opened;
        int reopened = 0;
        QString statusAfterReopen;
        QStringList statuses; // every status text, in order
        std::unique_ptr<csv::ui::PriceJobsController> jobs;
        std::unique_ptr<csv::ui::DataTorikomiPage> page;

        Page() {
            test::buildSampleContext(ctx, dir.path(), {{"1301", "極洋", 50, 1000}});
            ctx.paths.dataDir = (dir / "data").string();
            ctx.paths.backupDir = (dir / "data" / "buckup").string();
            ctx.paths.codeDir = (dir / "data" / "code").string();
            ctx.paths.csvWorkDir = (dir / "tmp" / "createcsv").string();
            ctx.currentCode = 0;
            ctx.settings.buckupcreate_ch = false;
            csv::ui::DataPageHost host;
            host.openSheet = [this](framework::ui::SideSheetPanel* p, int) { opened.push_back(p); };
            host.closeSheet = [] { return true; };
            host.reopenCurrentCode = [this](const QString& text) {
                ++reopened;
                statusAfterReopen = text;
            };
            host.status = &status;
            QObject::connect(&status, &framework::ui::StatusBar::textChanged,
                             [this](const QString& text) { statuses << text; });
            jobs = std::make_unique<csv::ui::PriceJobsController>(ctx, host, nullptr);
            page = std::make_unique<csv::ui::DataTorikomiPage>(ctx, host, *jobs);
            page->resize(1200, 900);
            page->show();
            page->initPanel();
        }
        fs::path source(const std::string& name, const std::string& bytes) {
            const fs::path path = dir / "outside" / name;
            test::writeFile(path, bytes);
            return path;
        }
        void drop(const std::vector<fs::path>& paths) {
            auto* data = new QMimeData;
            QList<QUrl> urls;
            for (const auto& p : paths)
                urls << QUrl::fromLocalFile(QString::fromStdString(p.string()));
            data->setUrls(urls);
            auto* target = page->filePanel();
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &dropEvent);
            delete data;
        }
        std::size_t rowsOf(const std::string& code) {
            return market::PriceDatabase(ctx.priceDb).rowsNewestFirst(code).size();
        }
        bool waitJob() {
            QSignalSpy spy(page.get(), &csv::ui::DataTorikomiPage::jobFinished);
            return spy.wait(30000);
        }
        QString previewCount() const { return page->previewTable()->countText(); }
    };

    static std::string plainCsv() {
        return "Date,Open,High,Low,Close,Volume,Code\n"
               "2026/1/5,100,110,90,105,3000000000,7203\n"
               "2026/1/6,101,111,91,106,2000,7203\n";
    }

private slots:
    void droppedCsvFilesAreCopiedIntoTheImportFolder() {
        Page p;
        const auto a = p.source("b.csv", "x\n");
        const auto b = p.source("a.CSV", "x\n");
        const auto other = p.source("notes.txt", "x\n");
        p.drop({a, b, other});
        QListWidget* list = p.page->filePanel()->list();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("a.CSV"));
        QCOMPARE(list->item(1)->text(), QString("b.csv"));
        QVERIFY(fs::exists(fs::path(p.ctx.paths.csvWorkDir) / "b.csv"));
        QVERIFY(fs::exists(a)); // copied, not moved
        QVERIFY(p.status.text().contains("notes.txt"));
    }

    void theMappingDrivesThePreview() {
        Page p;
        p.drop({p.source("plain.csv", plainCsv())});
        // The KABU+ layout does not fit this file: no row survives.
        QTRY_VERIFY(p.previewCount().contains("計 0件"));
        auto* panel = p.page->mappingPanel();
        panel->findChild<QComboBox*>("encoding")->setCurrentText("UTF-8");
        const int columns[] = {7, 0, 0, 0, 1, 2, 3, 4, 5, 6};
        for (int r = 0; r < 10; ++r)
            panel->findChild<QComboBox*>(QString("column_%1").arg(r))->setCurrentIndex(columns[r]);
        QTRY_COMPARE(p.previewCount(), QString("計 2件"));
        QTableWidget* table = p.page->previewTable()->table();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), QString("7203"));
        QCOMPARE(table->item(0, 1)->text(), QString("2026-01-05"));
        QCOMPARE(table->item(0, 6)->text(), QString("3000000000"));
        // By titles: the header decides; a title that is not there is named.
        panel->findChild<QRadioButton*>("byTitles")->setChecked(true);
        const char* titles[] = {"Code", "", "", "", "Date", "Open", "High", "Low", "Close", "Volume"};
        for (int r = 0; r < 10; ++r) {
            auto* edit = panel->findChild<QLineEdit*>(QString("title_%1").arg(r));
            edit->setText(titles[r]);
        }
        QTest::keyClicks(panel->findChild<QLineEdit*>("title_9"), "X"); // "VolumeX" is not in the header
        QTRY_VERIFY(p.previewCount().contains("VolumeX"));
    }

    void aGivenCodeStandsInForAMissingCodeColumn() {
        Page p;
        p.drop({p.source("nocode.csv", "Date,Open,High,Low,Close,Volume\n2026-01-05,100,110,90,105,1000\n")});
        auto* panel = p.page->mappingPanel();
        panel->findChild<QComboBox*>("encoding")->setCurrentText("UTF-8");
        const int columns[] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6};
        for (int r = 0; r < 10; ++r)
            panel->findChild<QComboBox*>(QString("column_%1").arg(r))->setCurrentIndex(columns[r]);
        // Without a code column the refusal names the choice that reads such a file.
        QTRY_VERIFY(p.previewCount().contains("ファイルにない: 指定コード"));
        auto* given = panel->findChild<QLineEdit*>("givenCode");
        QVERIFY(!given->isEnabled());
        panel->findChild<QCheckBox*>("codeGiven")->setChecked(true);
        QVERIFY(given->isEnabled());
        QVERIFY(!panel->findChild<QComboBox*>("column_0")->isEnabled());
        QTest::keyClicks(given, "dji");
        QTRY_COMPARE(p.previewCount(), QString("計 1件"));
        QCOMPARE(p.page->previewTable()->table()->item(0, 0)->text(), QString("DJI")); // folded
        // The choice is kept with the mapping.
        p.page->leavePage();
        const csv::CsvMapping stored = csv::loadCsvMapping(p.ctx.paths.setteiDb);
        QVERIFY(stored.codeGiven);
        QCOMPARE(stored.givenCode, std::string("dji"));
    }

    void registrationShowsItsResultAndReopensTheCode() {
        Page p;
        p.drop({p.source("day1.csv", test::kabuPlusDayFile("2026-01-05", 100)),
                p.source("day2.csv", test::kabuPlusDayFile("2026-01-06", 100, 1))});
        p.page->filePanel()->button(app::Command::Register)->click();
        QCOMPARE(p.opened.size(), std::size_t{1});
        auto* sheet = p.page->registerPanel();
        QCOMPARE(p.opened.back(), static_cast<framework::ui::SideSheetPanel*>(sheet));
        QTRY_COMPARE(sheet->preview()->countText(), QString("計 100件"));
        QCOMPARE(sheet->preview()->table()->rowCount(), 100);
        QVERIFY(!sheet->findChild<QCheckBox*>("backup")->isChecked());
        QSignalSpy shown(p.page.get(), &csv::ui::DataTorikomiPage::registrationShown);
        sheet->runButton()->click();
        QVERIFY(shown.wait(30000));
        QCOMPARE(shown.first().first().toString(), QString("200 件登録"));
        QCOMPARE(p.status.text(), QString("200 件登録"));
        QCOMPARE(p.reopened, 1);
        QCOMPARE(p.rowsOf(test::kabuPlusCode(5)), std::size_t{2});
        // The mapping used is kept.
        QVERIFY(!csv::loadCsvMapping(p.ctx.paths.setteiDb).rows.empty());
    }

    void aSecondJobIsRefusedWithAStatusText() {
        Page p;
        p.drop({p.source("day1.csv", test::kabuPlusDayFile("2026-01-05", 10))});
        auto running = p.ctx.priceJobs.tryBegin(market::PriceJob::Download);
        QVERIFY(running.ok());
        p.page->onCommand(app::Command::RunRegistration);
        QVERIFY(!p.page->jobs()->running());
        QCOMPARE(p.status.text(),
                 QString::fromStdString(market::PriceJobGuard::refusalText(market::PriceJob::Download)));
        QCOMPARE(p.rowsOf(test::kabuPlusCode(1)), std::size_t{0});
        running->end();
        p.page->onCommand(app::Command::RunRegistration);
        QVERIFY(p.waitJob());
        QCOMPARE(p.rowsOf(test::kabuPlusCode(1)), std::size_t{1});
    }

    void theMappingIsStoredWhenThePageIsLeft() {
        Page p;
        p.page->mappingPanel()->findChild<QRadioButton*>("separatorTab")->setChecked(true);
        p.page->mappingPanel()->findChild<QLineEdit*>("zeroText")->setText("--");
        p.page->leavePage();
        const csv::CsvMapping stored = csv::loadCsvMapping(p.ctx.paths.setteiDb);
        QCOMPARE(stored.separator, csv::CsvSeparator::Tab);
        QCOMPARE(stored.zeroText, std::string("--"));
        // Shown again, the page reads what is stored.
        p.page->mappingPanel()->setMapping(csv::CsvMapping());
        p.page->initPanel();
        QCOMPARE(p.page->mappingPanel()->mapping().separator, csv::CsvSeparator::Tab);
    }

    // バックアップ says in the status bar what it made; 以前のデータに復元 offers the newest,
    // asks before anything is replaced (いいえ leaves every byte), backs the current data up
    // first when the backup option is on, and reports the result.
    void backupThenRestoreThroughThePage() {
        Page p;
        const fs::path dbFile = p.ctx.paths.priceDbFile;
        p.page->filePanel()->button(app::Command::Backup)->click();
        QVERIFY(p.waitJob());
        const auto first = acquisition::ListPriceBackups(p.ctx.paths.backupDir);
        QCOMPARE(first.size(), std::size_t{1});
        QCOMPARE(p.status.text(), QString::fromUtf8(acquisition::kBackupDoneText) + "（" +
                                      QString::fromStdString(acquisition::backupDateText(first.front())) +
                                      "）");
        const std::size_t before = p.rowsOf("1301");
        QVERIFY(market::PriceDatabase(p.ctx.priceDb).write({{"1301", "2030-01-04", 1, 1, 1, 1, 1}}).ok());
        p.page->onCommand(app::Command::Backup);
        QVERIFY(p.waitJob());
        QVERIFY(market::PriceDatabase(p.ctx.priceDb).write({{"1301", "2030-01-05", 1, 1, 1, 1, 1}}).ok());
        const auto two = acquisition::ListPriceBackups(p.ctx.paths.backupDir);
        QCOMPARE(two.size(), std::size_t{2});

        p.page->filePanel()->button(app::Command::Restore)->click();
        auto* restore = p.jobs->restorePanel();
        QCOMPARE(restore->list()->count(), 2);
        QCOMPARE(restore->list()->currentText(), QString::fromStdString(two.front())); // the newest

        // いいえ: nothing runs, nothing is touched.
        p.ctx.settings.buckupcreate_ch = true;
        const std::string bytes = test::readFile(dbFile);
        framework::ui::MessageBox::setNextAnswer(QMessageBox::No);
        restore->runButton()->click();
        const QString question = framework::ui::MessageBox::lastText();
        QVERIFY2(question.contains(QString::fromStdString(acquisition::backupDateText(two.front()))),
                 qPrintable(question));
        QVERIFY(question.contains("現在の株価データはすべて"));
        QVERIFY(question.contains("置き換える前に現在のデータをバックアップします"));
        QVERIFY(!p.page->jobs()->running());
        QTest::qWait(50);
        QCOMPARE(test::readFile(dbFile), bytes);
        QCOMPARE(acquisition::ListPriceBackups(p.ctx.paths.backupDir), two);
        QCOMPARE(p.reopened, 0);

        // はい on the older one: the current data is backed up, then replaced, and the status
        // bar says both.
        restore->list()->setCurrentIndex(1);
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Yes);
        restore->runButton()->click();
        QVERIFY(p.waitJob());
        const auto three = acquisition::ListPriceBackups(p.ctx.paths.backupDir);
        QCOMPARE(three.size(), std::size_t{3});
        const QString report = QString::fromStdString(first.front()) +
                               " のデータに復元が成功しました（復元前のデータは " +
                               QString::fromStdString(acquisition::backupDateText(three.front())) +
                               " のバックアップにあります）";
        QCOMPARE(p.status.text(), report);
        QCOMPARE(p.statusAfterReopen, report); // shown again once the chart is open
        QCOMPARE(p.rowsOf("1301"), before);
        QCOMPARE(p.reopened, 1);

        // With the option off the question says that nothing is backed up, and nothing is.
        p.ctx.settings.buckupcreate_ch = false;
        p.page->filePanel()->button(app::Command::Restore)->click();
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Yes);
        restore->runButton()->click();
        QVERIFY(framework::ui::MessageBox::lastText().contains("現在のデータはバックアップされません"));
        QVERIFY(p.waitJob());
        QCOMPARE(acquisition::ListPriceBackups(p.ctx.paths.backupDir).size(), std::size_t{3});
        QCOMPARE(p.rowsOf("1301"), before + 2); // the newest backup held both added days

        // No backup at all: the message, no question.
        restore->setBackups({});
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        restore->runButton()->click();
        QCOMPARE(framework::ui::MessageBox::lastText(), QString("復元日時が選択されていません。"));
    }

    // The download fills the import folder; registering it stores the day; the button stops a run.
    void downloadThenRegisterThroughThePage() {
        test::NginxServer server;
        const int day = 20261209;
        server.putFile(test::kabuPlusDayPath(day), test::kabuPlusDayFile(day));
        QVERIFY2(server.start(), server.problem().c_str());
        Page p;
        p.ctx.paths.marketDayDir = (p.dir / "marketday").string();
        test::writeFile(fs::path(p.ctx.paths.marketDayDir) / "marketday_jpn.csv", "2026-12-08\r\n2026-12-09\r\n");
        p.ctx.today = "2026-12-09";
        p.ctx.oneYearAgoNextDay = "2026-12-09";
        p.ctx.settings.kabuplus_url = server.baseUrl();
        p.ctx.settings.kabuplus_cafile = server.caFile();
        p.ctx.settings.kabuplusid = server.account().user;
        p.ctx.settings.kabupluspw = server.account().password;
        QPushButton* download = p.page->filePanel()->button(app::Command::Download);
        download->click();
        QCOMPARE(download->text(), QString("中止")); // while it runs, the button stops it
        QVERIFY(p.waitJob());
        QCOMPARE(download->text(), QString("株価ダウンロード"));
        QCOMPARE(p.status.text(), QString("1 件中 成功 1件　失敗 0件 20261209"));
        QListWidget* list = p.page->filePanel()->list();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("japan-all-stock-prices_20261209.csv"));

        p.page->onCommand(app::Command::RunRegistration);
        QVERIFY(p.waitJob());
        QCOMPARE(p.rowsOf("7203"), std::size_t{1});
        QCOMPARE(market::PriceDatabase(p.ctx.priceDb).rowsNewestFirst("7203").front().volume,
                 std::int64_t{3797444701LL + day % 1000});

        // Without an account nothing starts.
        p.ctx.settings.kabupluspw.clear();
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        download->click();
        QCOMPARE(framework::ui::MessageBox::lastText(), QString("kabu+のid,パスワードが設定されていません。"));
        QVERIFY(!p.page->jobs()->running());
    }

    void perCodeExportAndImport() {
        Page p;
        p.page->onCommand(app::Command::OpenCodeData);
        auto* panel = p.page->codeDataPanel();
        QCOMPARE(panel->code(), QString("1301"));
        const fs::path out = p.dir / "export.csv";
        framework::ui::FileDialog::setNextFileName(QString::fromStdString(out.string()));
        panel->exportButton()->click();
        QVERIFY(panel->result().startsWith("CSVファイルに出力しました"));
        QVERIFY(fs::file_size(out) > 0);

        panel->prepare("9001");
        panel->setFile(QString::fromStdString(out.string()));
        panel->importButton()->click();
        QVERIFY(p.waitJob());
        QVERIFY2(panel->result().startsWith("インポート完了: 行数=50, 成功=50"), qPrintable(panel->result()));
        QCOMPARE(p.rowsOf("9001"), std::size_t{50});
    }

    // Delete takes the files selected when it was pressed, by name: a file that arrives while
    // the question is open moves the rows, not the choice; a file gone by then is named.
    void deleteRemovesTheFilesSelectedWhenAsked() {
        Page p;
        p.drop({p.source("a.csv", "x\n"), p.source("c.csv", "x\n")});
        QListWidget* list = p.page->filePanel()->list();
        const fs::path folder = p.ctx.paths.csvWorkDir;
        list->setCurrentRow(1); // c.csv
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Yes, [&] {
            test::writeFile(folder / "b.csv", "x\n"); // a download lands now
            QVERIFY(QTest::qWaitFor([&] { return list->count() == 3; }, 5000));
            QCOMPARE(list->item(1)->text(), QString("b.csv")); // row 1 is another file now
        });
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(framework::ui::MessageBox::lastText().contains("c.csv"));
        QVERIFY(!fs::exists(folder / "c.csv"));
        QVERIFY(fs::exists(folder / "b.csv"));
        QVERIFY(fs::exists(folder / "a.csv"));
        QCOMPARE(p.status.text(), QString("1個のファイルを削除しました"));

        // いいえ keeps the files.
        list->setCurrentRow(0);
        framework::ui::MessageBox::setNextAnswer(QMessageBox::No);
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(fs::exists(folder / "a.csv"));

        // Gone while asked (through the context menu's 削除): said, and nothing else removed.
        list->setCurrentRow(0); // a.csv
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Yes, [&] { fs::remove(folder / "a.csv"); });
        QAction* remove = p.page->filePanel()->contextMenu()->actions().at(1);
        QCOMPARE(remove->text(), QString("削除"));
        remove->trigger();
        QCOMPARE(p.status.text(), QString("a.csv はもうありません"));
        QVERIFY(fs::exists(folder / "b.csv"));
        QTRY_COMPARE(list->count(), 1);
    }

    // ファイルを追加 and the context menu's 追加 copy the chosen files in as a drop does.
    void addFilesCopiesSeveralFilesLikeADrop() {
        Page p;
        const auto a = p.source("b.csv", "x\n");
        const auto b = p.source("a.CSV", "x\n");
        const auto other = p.source("notes.txt", "x\n");
        framework::ui::FileDialog::setNextFileNames({QString::fromStdString(a.string()),
                                                     QString::fromStdString(b.string()),
                                                     QString::fromStdString(other.string())});
        p.page->filePanel()->addButton()->click();
        QListWidget* list = p.page->filePanel()->list();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("a.CSV"));
        QCOMPARE(list->item(1)->text(), QString("b.csv"));
        QVERIFY(fs::exists(fs::path(p.ctx.paths.csvWorkDir) / "b.csv"));
        QVERIFY(fs::exists(a)); // copied, not moved
        QVERIFY(p.status.text().contains("2個のCSVファイルを追加しました"));
        QVERIFY(p.status.text().contains("notes.txt"));

        QAction* add = p.page->filePanel()->contextMenu()->actions().at(0);
        QCOMPARE(add->text(), QString("追加"));
        framework::ui::FileDialog::setNextFileNames(
            {QString::fromStdString(p.source("c.csv", "x\n").string())});
        add->trigger();
        QCOMPARE(list->count(), 3);
        framework::ui::FileDialog::setNextFileNames({}); // cancelled
        add->trigger();
        QCOMPARE(list->count(), 3);
    }

    // While it runs the status bar names each file; at the end it says what was stored, what
    // was skipped and which file was refused and why.
    void registrationStatusLineShowsProgressAndCounts() {
        Page p;
        std::string skipping = test::kabuPlusDayText("2026-01-06", 100, 1);
        skipping += "9999,短い行,東証プライム\r\n";
        p.drop({p.source("a_day1.csv", test::kabuPlusDayFile("2026-01-05", 100)),
                p.source("b_day2.csv", framework::ConvUTFtoSJIS(skipping).text),
                p.source("c_broken.csv", "\x82\n")});
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok); // the list of refused files
        QSignalSpy shown(p.page.get(), &csv::ui::DataTorikomiPage::registrationShown);
        p.page->onCommand(app::Command::RunRegistration);
        QVERIFY(shown.wait(30000));
        for (const char* step : {"1 / 3 a_day1.csv", "2 / 3 b_day2.csv", "3 / 3 c_broken.csv"})
            QVERIFY2(p.statuses.contains(QString(step)), qPrintable(p.statuses.join(" | ")));
        const QString final = "200 件登録（スキップ 1行、登録できなかったファイル 1件: c_broken.csv: line 1: "
                              "not valid Shift-JIS "
                              "(CP932) text）";
        QCOMPARE(p.status.text(), final);
        QCOMPARE(p.statusAfterReopen, final);
        QVERIFY(framework::ui::MessageBox::lastText().contains("c_broken.csv"));
    }

    // A run that cannot store anything makes no backup, however the option is set.
    void noBackupWhenTheMappingRefusesTheFirstFile() {
        Page p;
        p.ctx.settings.buckupcreate_ch = true;
        p.drop({p.source("plain.csv", plainCsv())}); // the KABU+ layout gives no row of it
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        QSignalSpy shown(p.page.get(), &csv::ui::DataTorikomiPage::registrationShown);
        p.page->onCommand(app::Command::RunRegistration);
        QVERIFY(shown.wait(30000));
        QCOMPARE(acquisition::ListPriceBackups(p.ctx.paths.backupDir).size(), std::size_t{0});
        QVERIFY2(p.status.text().startsWith("0 件登録（登録できなかったファイル 1件: plain.csv: "),
                 qPrintable(p.status.text()));
        QCOMPARE(p.reopened, 0);
    }

    // 列で固定 and タイトルで選択 take the same room: switching moves nothing on the page.
    void switchingTheMappingModeMovesNothing() {
        Page p;
        auto* panel = p.page->mappingPanel();
        auto geometries = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            return QList<QRect>{p.page->filePanel()->geometry(), panel->geometry(),
                                p.page->previewTable()->geometry(),
                                panel->findChild<QRadioButton*>("byTitles")->geometry()};
        };
        const auto byColumns = geometries();
        panel->findChild<QRadioButton*>("byTitles")->setChecked(true);
        QVERIFY(panel->findChild<QLineEdit*>("title_0")->isVisible());
        QVERIFY(!panel->findChild<QComboBox*>("column_0")->isVisible());
        QCOMPARE(geometries(), byColumns);
        panel->findChild<QRadioButton*>("byColumns")->setChecked(true);
        QVERIFY(panel->findChild<QComboBox*>("column_0")->isVisible());
        QCOMPARE(geometries(), byColumns);
    }

    void oldDataListsFoldersAndSaysTheTakeOverIsNotAvailable() {
        Page p;
        for (const char* code : {"7203", "1301"})
            fs::create_directories(fs::path(p.ctx.paths.codeDir) / code);
        p.page->filePanel()->button(app::Command::OldData)->click();
        auto* panel = p.page->oldDataPanel();
        QCOMPARE(panel->table()->rowCount(), 2);
        QCOMPARE(panel->table()->item(0, 0)->text(), QString("1301"));
        framework::ui::MessageBox::setNextAnswer(QMessageBox::Ok);
        panel->runButton()->click();
        QVERIFY(framework::ui::MessageBox::lastText().contains("利用できません"));
        QVERIFY(fs::is_directory(fs::path(p.ctx.paths.codeDir) / "7203"));
    }
};

QTEST_MAIN(DataTorikomiPageTest)
#include "DataTorikomiPageTest.moc"

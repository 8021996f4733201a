// The program's file dialogs with the places start-up lends them: each kind of file starts in
// the folder last used for it (kept in settei.db), else the home folder; a file chosen for
// writing that lies in the data folder or is no regular file is refused with a message and
// nothing is written, also through the real save commands (CSV export, PDF, document save as).
#include "app/FileDialogPlaces.h"
#include "annotations/ui/DocumentCommands.h"
#include "app/core/AppContext.h"
#include "app/core/DocumentSteps.h"
#include "csv/ui/CodeDataPanel.h"
#include "csv/ui/DataTorikomiPage.h"
#include "csv/ui/PriceJobsController.h"
#include "framework/ui/FileDialog.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "printing/ui/DataPrintDialog.h"
#include "settings/SettingsStore.h"
#include "support/SampleMarket.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace tavora;
using framework::ui::FileDialog;
using framework::ui::FileKind;
using framework::ui::MessageBox;

class FileDialogPlacesTest : public QObject {
    Q_OBJECT

    // A data folder with a real price database and settings, a home folder and a place outside.
    struct Places {
        test::TempDir root;
        test::TempDir home;
        test::TempDir outside;
        test::ScopedEnv homeEnv{"HOME", home.str()};
        app::AppContext ctx;

        Places() {
            test::buildSampleContext(ctx, root.path(), {{"7203", "トヨタ自動車", 40, 2000}});
            ctx.paths.backupDir = (root / "data" / "buckup").string();
            ctx.paths.fileOpenHisDb = (root / "fileopenhis.db").string();
            fs::create_directories(ctx.paths.tmpDir);
            settings::SettingsStore(ctx.paths.setteiDb).load(); // creates koumokutb
            ctx.currentCode = 0;
            app::installFileDialogPlaces(ctx);
        }
        QString q(const fs::path& p) const { return QString::fromStdString(p.string()); }
        std::string database() const { return test::readFile(ctx.paths.priceDbFile); }
        std::string stored(const char* key) const {
            const auto all = settings::SettingsStore(ctx.paths.setteiDb).readStored();
            const auto it = all.find(key);
            return it == all.end() ? std::string("(none)") : it->second;
        }
    };

private slots:
    void init() {
        MessageBox::setNextAnswer(QMessageBox::NoButton);
        FileDialog::clearNextFileName();
    }
    void cleanup() { FileDialog::setPlaces({}); }

    void eachKindStartsInTheFolderLastUsedForIt() {
        Places p;
        const QString home = p.q(p.home.path());
        for (FileKind kind : {FileKind::Document, FileKind::Pdf, FileKind::CsvExport, FileKind::CsvImport,
                              FileKind::CodeList})
            QCOMPARE(FileDialog::startFolder(kind), home);

        fs::create_directories(p.outside / "imports");
        fs::create_directories(p.outside / "sheets");
        test::writeFile(p.outside / "imports" / "a.csv", "x");
        FileDialog::setNextFileName(p.q(p.outside / "imports" / "a.csv"));
        QCOMPARE(FileDialog::openFile(nullptr, "CSV", FileKind::CsvImport, "*.csv"),
                 p.q(p.outside / "imports" / "a.csv"));
        FileDialog::setNextFileName(p.q(p.outside / "sheets" / "chart.pdf"));
        QCOMPARE(FileDialog::saveFile(nullptr, "PDF", FileKind::Pdf, "chart.pdf", "*.pdf"),
                 p.q(p.outside / "sheets" / "chart.pdf"));
        QCOMPARE(FileDialog::startFolder(FileKind::CsvImport), p.q(p.outside / "imports"));
        QCOMPARE(FileDialog::startFolder(FileKind::Pdf), p.q(p.outside / "sheets"));
        QCOMPARE(FileDialog::startFolder(FileKind::CsvExport), home);
        // Several files at once remember the folder of the first.
        fs::create_directories(p.outside / "codes");
        FileDialog::setNextFileNames({p.q(p.outside / "codes" / "a.csv"), p.q(p.outside / "b.csv")});
        QCOMPARE(FileDialog::openFiles(nullptr, "CSV", FileKind::CodeList, "*.csv").size(), 2);
        QCOMPARE(FileDialog::startFolder(FileKind::CodeList), p.q(p.outside / "codes"));
        QCOMPARE(p.stored("lastdir_csvimport"), (p.outside / "imports").string());
        QCOMPARE(p.stored("lastdir_pdf"), (p.outside / "sheets").string());

        // A cancelled dialog changes nothing; the memory outlives the program (a new start).
        FileDialog::setNextFileName(QString());
        QVERIFY(FileDialog::openFile(nullptr, "CSV", FileKind::CsvImport, "*.csv").isEmpty());
        FileDialog::setPlaces({});
        QCOMPARE(FileDialog::startFolder(FileKind::Pdf), home);
        app::installFileDialogPlaces(p.ctx);
        QCOMPARE(FileDialog::startFolder(FileKind::CsvImport), p.q(p.outside / "imports"));
        QCOMPARE(FileDialog::startFolder(FileKind::Pdf), p.q(p.outside / "sheets"));

        // A remembered folder that is gone: the home folder again.
        fs::remove_all(p.outside / "imports");
        QCOMPARE(FileDialog::startFolder(FileKind::CsvImport), home);
    }

    void aSaveIntoTheDataFolderOrOntoASpecialFileIsRefused() {
        Places p;
        const std::string databaseBefore = p.database();
        const std::string settingsBefore = test::readFile(p.ctx.paths.setteiDb);
        fs::create_directories(p.outside / "folder");
        QCOMPARE(::mkfifo((p.outside / "fifo.csv").c_str(), 0600), 0);
        fs::create_symlink(p.ctx.paths.priceDbFile, p.outside / "db-link.csv");
        const struct {
            fs::path path;
            const char* said;
        } cases[] = {
            {p.ctx.paths.priceDbFile, "データフォルダー"},
            {p.ctx.paths.setteiDb, "データフォルダー"},
            {fs::path(p.ctx.paths.priceDbFile + "-journal"), "データフォルダー"},
            {p.outside / "db-link.csv", "データフォルダー"},
            {p.outside / "fifo.csv", "通常のファイルではない"},
            {p.outside / "folder", "フォルダーには保存できません"},
            {p.outside / "none" / "x.csv", "保存先のフォルダーがありません"},
        };
        for (const auto& c : cases) {
            const QByteArray trace = QByteArray::fromStdString(c.path.string());
            FileDialog::setNextFileName(p.q(c.path));
            MessageBox::setNextAnswer(QMessageBox::Ok);
            QVERIFY2(FileDialog::saveFile(nullptr, "CSV", FileKind::CsvExport, "x.csv", "*.csv").isEmpty(),
                     trace);
            QVERIFY2(MessageBox::lastText().contains(c.said), qPrintable(MessageBox::lastText()));
            QVERIFY2(MessageBox::lastText().contains(p.q(c.path)), trace);
            QCOMPARE(FileDialog::startFolder(FileKind::CsvExport), p.q(p.home.path())); // not remembered
        }
        QCOMPARE(p.database(), databaseBefore);
        QCOMPARE(test::readFile(p.ctx.paths.setteiDb).size(), settingsBefore.size());
        QVERIFY(fs::is_symlink(p.outside / "db-link.csv"));
        QVERIFY(!fs::exists(p.ctx.paths.priceDbFile + "-journal"));
        QVERIFY(FileDialog::mayWrite(nullptr, p.q(p.outside / "new.csv"), "CSV"));
    }

    void theSaveCommandsWriteNothingOverTheDatabase() {
        Places p;
        const std::string databaseBefore = p.database();
        const QString database = QString::fromStdString(p.ctx.paths.priceDbFile);

        // Per-code CSV export on the data page.
        {
            framework::ui::StatusBar status;
            csv::ui::DataPageHost host;
            host.openSheet = [](framework::ui::SideSheetPanel*, int) {};
            host.closeSheet = [] { return true; };
            host.status = &status;
            csv::ui::PriceJobsController jobs(p.ctx, host, nullptr);
            csv::ui::DataTorikomiPage page(p.ctx, host, jobs);
            page.initPanel();
            page.onCommand(app::Command::OpenCodeData);
            FileDialog::setNextFileName(database);
            MessageBox::setNextAnswer(QMessageBox::Ok);
            page.codeDataPanel()->exportButton()->click();
            QVERIFY(MessageBox::lastText().contains("データフォルダー"));
            QVERIFY(page.codeDataPanel()->result().isEmpty());
            QCOMPARE(p.database(), databaseBefore);
        }
        // PDF output of the print window ("chart" gets ".pdf" and lands in the data folder).
        {
            printing::ui::DataPrintDialog dialog([] { return printing::PrintSnapshot{}; }, 2026, nullptr);
            for (const fs::path& chosen : {fs::path(p.ctx.paths.priceDbFile), p.root / "chart"}) {
                dialog.setPdfPathChooser([&](const QString&, QWidget*) { return p.q(chosen); });
                MessageBox::setNextAnswer(QMessageBox::Ok);
                dialog.writePdf();
                QVERIFY(MessageBox::lastText().contains("データフォルダー"));
            }
            QCOMPARE(p.database(), databaseBefore);
            QVERIFY(!fs::exists(p.root / "chart.pdf"));
        }
        // Save as of the chart document.
        {
            app::ResetDocumentStep(p.ctx);
            QWidget window;
            framework::ui::StatusBar status;
            annotations::ui::DocumentCommands commands(p.ctx, &window, &status);
            commands.setFileChooser([&](annotations::ui::DocumentCommands::Dialog, const QString&,
                                        const QString&) { return database; });
            QSignalSpy saved(&commands, &annotations::ui::DocumentCommands::saved);
            MessageBox::setNextAnswer(QMessageBox::Ok);
            commands.saveAs();
            QVERIFY(MessageBox::lastText().contains("データフォルダー"));
            QVERIFY(!commands.busy());
            QCOMPARE(saved.count(), 0);
            QVERIFY(p.ctx.document.savedPath.empty());
            QCOMPARE(p.database(), databaseBefore);
        }
    }
};

QTEST_MAIN(FileDialogPlacesTest)
#include "FileDialogPlacesTest.moc"

// The document commands on real files: what switches after an open or a save, and what stays
// exactly as it was when either fails.
#include "annotations/ui/DocumentCommands.h"

#include "annotations/AnnotationTestSupport.h"
#include "annotations/DocumentFile.h"
#include "annotations/Favourites.h"
#include "app/core/AppContext.h"
#include "app/core/DocumentSteps.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

using namespace tavora;
using annotations::ui::DocumentCommands;
using framework::ui::MessageBox;
namespace fs = std::filesystem;

class DocumentCommandsTest : public QObject {
    Q_OBJECT

    struct Desk {
        test::TempDir dir;
        app::AppContext ctx;
        QWidget window;
        framework::ui::StatusBar status;
        DocumentCommands commands{ctx, &window, &status};
        int chooserCalls = 0;
        QString chosen;
        QString chooserFolder;
        QString chooserName;

        Desk() {
            ctx.paths.tmpDir = (dir / "tmp").string();
            ctx.paths.fileOpenHisDb = (dir / "fileopenhis.db").string();
            fs::create_directories(ctx.paths.tmpDir);
            for (const char* code : {"7203", "9984", "1301"})
                ctx.catalogue.append(market::CodeElm{code, code, "", "", "", {}, false});
            ctx.currentCode = 0;
            app::ResetDocumentStep(ctx);
            commands.setFileChooser([this](DocumentCommands::Dialog, const QString& folder, const QString& name) {
                ++chooserCalls;
                chooserFolder = folder;
                chooserName = name;
                return chosen;
            });
        }
        std::string path(const std::string& name) const { return (dir / name).string(); }
        // A document on disk with the given favourites and elements 1..n of 7203.
        std::string makeDocument(const std::string& name, std::vector<std::string> favourites, int elements) {
            auto working = annotations::WorkingDocument::createEmpty();
            std::vector<annotations::GraphCtrlRow> rows;
            for (int i = 1; i <= elements; ++i)
                rows.push_back(annotations::test::elementRow(i));
            if (!rows.empty())
                working.recordStep(rows);
            const std::string file = path(name);
            annotations::writeDocument(file, working, favourites);
            return file;
        }
        bool openAndWait(const std::string& file) {
            QSignalSpy spy(&commands, &DocumentCommands::opened);
            commands.openPath(QString::fromStdString(file));
            return spy.wait(10000) && spy.front().front().toBool();
        }
        bool saveAndWait(bool as) {
            QSignalSpy spy(&commands, &DocumentCommands::saved);
            as ? commands.saveAs() : commands.save();
            return spy.wait(10000) && spy.front().front().toBool();
        }
    };

    // Everything an open switches, to compare before and after.
    struct Snapshot {
        std::string documentPath, documentName, savedPath, lastDirectory;
        std::vector<std::string> recent, favourites;
        int step, highest;
        std::size_t rows;
        explicit Snapshot(const app::AppContext& c)
            : documentPath(c.paths.documentPath), documentName(c.paths.documentName),
              savedPath(c.document.savedPath), lastDirectory(c.document.lastDirectory), recent(c.document.recent),
              favourites(annotations::favouriteCodes(c.catalogue)), step(c.document.working.step()),
              highest(c.document.working.highestStep()), rows(c.document.working.codeState("7203").size()) {}
        bool operator==(const Snapshot&) const = default;
    };

private slots:
    void init() { MessageBox::setNextAnswer(QMessageBox::NoButton); }

    void anOpenThatFailsChangesNothing() {
        Desk d;
        QVERIFY(d.openAndWait(d.makeDocument("good.tvrd", {"9984"}, 3)));
        d.ctx.document.working.recordStep({annotations::test::elementRow(4)});
        d.ctx.document.working.recordStep({annotations::test::elementRow(5)});
        d.ctx.document.working.undo();
        const Snapshot before(d.ctx);

        const std::string notADocument = d.path("notes.tvrd");
        test::writeFile(notADocument, "this is not a chart document\n");
        const std::string truncated = d.path("cut.tvrd");
        test::writeFile(truncated, test::readFile(d.path("good.tvrd")).substr(0, 2048));
        for (const std::string& bad : {notADocument, truncated, d.path("missing.tvrd")}) {
            QSignalSpy replaced(&d.commands, &DocumentCommands::documentReplaced);
            QSignalSpy title(&d.commands, &DocumentCommands::titlePathChanged);
            MessageBox::setNextAnswer(QMessageBox::Ok);
            QVERIFY(!d.openAndWait(bad));
            QVERIFY(MessageBox::lastText().contains(QString::fromStdString(bad)));
            QCOMPARE(replaced.count(), 0);
            QCOMPARE(title.count(), 0);
            QVERIFY(Snapshot(d.ctx) == before);
        }
        QVERIFY(!fs::exists(d.path("missing.tvrd")));
    }

    void anOpenSwitchesEverythingTogether() {
        Desk d;
        d.ctx.catalogue[2].favourite = true;
        d.ctx.document.working.recordStep({annotations::test::elementRow(9)});
        const std::string file = d.makeDocument("b.tvrd", {"7203", "0000"}, 2);
        QSignalSpy title(&d.commands, &DocumentCommands::titlePathChanged);
        QSignalSpy recent(&d.commands, &DocumentCommands::recentFilesChanged);
        MessageBox::setNextAnswer(QMessageBox::No); // the untitled work is given up, not saved
        QVERIFY(d.openAndWait(file));
        QVERIFY(MessageBox::lastText().contains("保存しますか"));
        QCOMPARE(d.ctx.document.working.step(), 0);
        QCOMPARE(d.ctx.document.working.highestStep(), 0);
        QCOMPARE(d.ctx.document.working.codeState("7203").size(), std::size_t(2));
        QCOMPARE(annotations::favouriteCodes(d.ctx.catalogue), std::vector<std::string>{"7203"});
        QCOMPARE(d.ctx.paths.documentName, std::string("b.tvrd"));
        QCOMPARE(d.ctx.document.savedPath, file);
        QCOMPARE(title.takeFirst().front().toString(), QString::fromStdString(file));
        QCOMPARE(recent.takeFirst().front().toStringList(), QStringList{QString::fromStdString(file)});
        // The next dialog starts in the folder of the opened document.
        d.chosen.clear();
        d.commands.openWithDialog();
        QCOMPARE(d.chooserFolder, QString::fromStdString(d.dir.str()));
    }

    void aSaveReportsOnlyWhenTheFileIsInPlace() {
        Desk d;
        const fs::path folder = d.dir / "locked";
        fs::create_directory(folder);
        d.chosen = QString::fromStdString((folder / "mine.tvrd").string());
        QVERIFY(d.saveAndWait(true));
        QCOMPARE(d.status.text(), QString("保存しました"));
        QCOMPARE(d.chooserName, QString("無題.tvrd"));
        QCOMPARE(d.ctx.document.savedPath, d.chosen.toStdString());
        const std::string before = test::readFile(folder / "mine.tvrd");

        d.status.setText({});
        d.ctx.document.working.recordStep({annotations::test::elementRow(1)});
        {
            annotations::test::LockedFolder locked(folder);
            if (!locked.ok())
                QSKIP("this file system cannot make a folder refuse writes to root");
            MessageBox::setNextAnswer(QMessageBox::Ok);
            QVERIFY(!d.saveAndWait(false));
        }
        QVERIFY(MessageBox::lastText().startsWith("保存できませんでした。"));
        QCOMPARE(d.status.text(), QString());
        QCOMPARE(test::readFile(folder / "mine.tvrd"), before);
        // The history is untouched: the next save writes the element.
        QVERIFY(d.saveAndWait(false));
        QCOMPARE(annotations::readDocument((folder / "mine.tvrd").string()).document.codeState("7203").size(),
                 std::size_t(1));
    }

    void oneOpenOrSaveAtATime() {
        Desk d;
        const std::string file = d.makeDocument("c.tvrd", {}, 1);
        d.ctx.document.savedPath = d.path("d.tvrd");
        QSignalSpy saved(&d.commands, &DocumentCommands::saved);
        QSignalSpy opened(&d.commands, &DocumentCommands::opened);
        d.commands.save();
        QVERIFY(d.commands.busy());
        d.commands.openPath(QString::fromStdString(file)); // refused while the save runs
        d.commands.save();
        QVERIFY(d.status.text().contains("お待ちください"));
        QVERIFY(saved.wait(10000));
        QTest::qWait(100);
        QCOMPARE(saved.count(), 1);
        QCOMPARE(opened.count(), 0);
        QVERIFY(!d.commands.busy());
    }

    void theEndOfTheProgramWaitsForARunningSave() {
        Desk d;
        std::vector<annotations::GraphCtrlRow> rows;
        for (int i = 1; i <= 3000; ++i)
            rows.push_back(annotations::test::elementRow(i));
        d.ctx.document.working.recordStep(rows);
        d.ctx.document.savedPath = d.path("big.tvrd");
        d.commands.save();
        QVERIFY(d.commands.busy());
        d.commands.waitForJob(); // what the shutdown does before anything else
        QVERIFY(!d.commands.busy());
        const auto read = annotations::readDocument(d.path("big.tvrd"));
        QVERIFY(read.ok());
        QCOMPARE(read.document.codeState("7203").size(), std::size_t(3000));
    }

    // The question before closing sees a save that is still being written: the save ends first,
    // its outcome counts, and nothing is left to ask.
    void aSaveInProgressIsFinishedBeforeTheQuestion() {
        Desk d;
        d.ctx.document.working.recordStep({annotations::test::elementRow(1)});
        d.chosen = QString::fromStdString(d.path("first.tvrd"));
        QVERIFY(d.saveAndWait(true));
        d.ctx.document.working.recordStep({annotations::test::elementRow(2)});
        QSignalSpy saved(&d.commands, &DocumentCommands::saved);
        d.commands.save();
        QVERIFY(d.commands.busy());
        MessageBox::setNextAnswer(QMessageBox::Cancel); // taken only if it asked
        QVERIFY(d.commands.settleUnsavedWork());
        QCOMPARE(saved.count(), 1);
        QVERIFY(!d.commands.busy());
        QVERIFY(!d.commands.title().startsWith("*"));
        QCOMPARE(annotations::readDocument(d.path("first.tvrd")).document.codeState("7203").size(), std::size_t(2));
        QTest::qWait(50); // the queued end of the job does nothing twice
        QCOMPARE(saved.count(), 1);
    }

    void saveNeedsAnOpenCodeAndNewAsksFirst() {
        Desk d;
        d.ctx.currentCode.reset();
        QSignalSpy saved(&d.commands, &DocumentCommands::saved);
        d.commands.save();
        d.commands.saveAs();
        QCOMPARE(d.chooserCalls, 0);
        QVERIFY(!d.commands.busy());

        d.ctx.document.working.recordStep({annotations::test::elementRow(1)});
        d.ctx.catalogue[0].favourite = true;
        MessageBox::setNextAnswer(QMessageBox::No);
        d.commands.newDocument();
        QCOMPARE(d.ctx.document.working.step(), 1);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QSignalSpy replaced(&d.commands, &DocumentCommands::documentReplaced);
        d.commands.newDocument();
        QCOMPARE(MessageBox::lastText(), QString("現在の作業状態を初期化して新しいファイルを作成してもよろしいですか?"));
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(d.ctx.document.working.step(), 0);
        QVERIFY(d.ctx.document.working.codeState("7203").empty());
        QVERIFY(annotations::favouriteCodes(d.ctx.catalogue).empty());
        QCOMPARE(d.ctx.paths.documentName, std::string("無題.tvrd"));
        QVERIFY(fs::exists(d.ctx.paths.documentPath));
    }
};

QTEST_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"

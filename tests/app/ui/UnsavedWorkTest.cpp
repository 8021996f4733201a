// Unsaved work through the real main window: the question on quitting (Ctrl+Q and the close
// button), New and Open, the "*" of the title, and the work kept at the end of a desktop
// session (SIGTERM) and offered at the next start. File bytes are checked on disk.
#include "annotations/DocumentFile.h"
#include "annotations/LineElm.h"
#include "annotations/ui/DocumentCommands.h"
#include "app/ApliWindow.h"
#include "app/EndSession.h"
#include "app/HomeHeadPanel.h"
#include "app/HomeLeftPanel.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/core/AppContext.h"
#include "app/core/Commands.h"
#include "app/core/DocumentSteps.h"
#include "app/core/WorkRecovery.h"
#include "chart/ChartGeometry.h"
#include "chart/ui/GraphPanel.h"
#include "chart/ui/GraphPlotAreaPanel.h"
#include "framework/Log.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StatusBar.h"
#include "support/SampleMarket.h"
#include "support/TempDir.h"

#include <QShortcut>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <filesystem>

using namespace tavora;
using annotations::ui::DocumentCommands;
using framework::ui::MessageBox;
using market::ChartPeriod;
namespace fs = std::filesystem;

namespace {
const QString kCaption = "Tavora Ver1.7.6";

// The program's window over a small market in `root`, with the untitled document of a start.
struct Desk {
    fs::path root;
    app::AppContext ctx;
    std::unique_ptr<app::ApliWindow> window;
    int shutdowns = 0;
    QString chosen; // what the save dialog answers (empty: cancelled)
    int dialogs = 0;

    explicit Desk(const fs::path& dataFolder) : root(dataFolder) {
        test::buildSampleContext(ctx, root, {{"1001", "極東電機", 300, 1000}});
        ctx.paths.fileOpenHisDb = (root / "fileopenhis.db").string();
        fs::create_directories(ctx.paths.tmpDir);
        app::ResetDocumentStep(ctx);
        ctx.currentCode = 0;
        window = std::make_unique<app::ApliWindow>(ctx);
        window->setShutdown([this] { ++shutdowns; });
        window->resize(1300, 800);
        window->show();
        home()->openCurrentCode();
        documents()->setFileChooser([this](DocumentCommands::Dialog, const QString&, const QString&) {
            ++dialogs;
            return chosen;
        });
    }
    app::HomePanel* home() const { return window->mainPanel()->homePanel(); }
    DocumentCommands* documents() const { return home()->documents(); }
    chart::ui::GraphPlotAreaPanel* plot() const { return home()->graphPanel(ChartPeriod::Day)->plotArea(); }
    const annotations::GraphDrawList& dayList() const { return home()->annotationLists().list(ChartPeriod::Day); }

    void click(int x, int y) {
        QTest::mouseMove(plot(), QPoint(x, y));
        QTest::mouseClick(plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
        QCoreApplication::processEvents();
    }
    // A line drawn with the line tool, as the user draws it (one history step).
    void drawLine(int fromBar) {
        QToolButton* tool = home()->toolColumn()->button(app::Command::Line);
        if (!tool->isChecked())
            tool->click();
        const chart::GraphViewState& vs = home()->graphPanel(ChartPeriod::Day)->state();
        click(chart::barCentre(vs, vs.start_bar + fromBar), 200);
        click(chart::barCentre(vs, vs.start_bar + fromBar + 10), 240);
    }
    bool save(bool as) {
        QSignalSpy spy(documents(), &DocumentCommands::saved);
        home()->onCommand(as ? app::Command::SaveAs : app::Command::Save);
        return spy.wait(10000) && spy.front().front().toBool();
    }
    // Ctrl+Q as the user presses it: the window's application-wide shortcut.
    void pressCtrlQ() {
        auto* quit = window->findChild<QShortcut*>();
        QVERIFY(quit);
        QCOMPARE(quit->key(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        emit quit->activated();
    }
    QString title() const { return window->windowTitle(); }
    std::size_t savedLines(const std::string& file) const {
        return annotations::readDocument(file).document.codeState("1001").size();
    }
};

} // namespace

class UnsavedWorkTest : public QObject {
    Q_OBJECT

private slots:
    // A question that is not answered here must fail the test, not wait for a hand.
    void initTestCase() { qputenv("TAVORA_NONINTERACTIVE", "1"); }
    void init() {
        MessageBox::setNextAnswer(QMessageBox::NoButton);
        // A main window that closed ended the event loop, as the program's exit does; a loop
        // run to its end lets the next test wait for signals again.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    void quittingANamedDocumentWithChangesAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("はい saves, then quits") << int(QMessageBox::Yes) << true << true;
        QTest::newRow("いいえ quits without saving") << int(QMessageBox::No) << true << false;
        QTest::newRow("キャンセル stays") << int(QMessageBox::Cancel) << false << false;
    }

    void quittingANamedDocumentWithChangesAsks() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        test::TempDir dir;
        Desk d(dir.path());
        const std::string file = (dir / "mine.tvrd").string();
        d.drawLine(20);
        d.chosen = QString::fromStdString(file);
        QVERIFY(d.save(true));
        const std::string before = test::readFile(file);
        QCOMPARE(d.savedLines(file), std::size_t(1));

        d.drawLine(40); // changed after the save
        MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
        d.pressCtrlQ();
        QCOMPARE(MessageBox::lastText(), QString("「mine.tvrd」への変更を保存しますか?"));
        QCOMPARE(MessageBox::lastCaption(), QString("タボラ"));
        QCOMPARE(d.window->isVisible(), !closes);
        QCOMPARE(d.shutdowns, closes ? 1 : 0);
        if (written) {
            QVERIFY(test::readFile(file) != before);
            QCOMPARE(d.savedLines(file), std::size_t(2));
        } else {
            QCOMPARE(test::readFile(file), before);
        }
        QCOMPARE(d.title().startsWith(kCaption + " - *"), !written); // saved: the mark is gone
    }

    // The "*" comes with a change and goes with a save, with an undo back to the saved step and
    // with a redo, never with a failed save; a favourite mark counts too.
    void theTitleMarksUnsavedChanges() {
        test::TempDir dir;
        Desk d(dir.path());
        QCOMPARE(d.title(), kCaption);
        d.drawLine(20);
        QCOMPARE(d.title(), kCaption + " - *無題.tvrd");
        const QString file = QString::fromStdString((dir / "mine.tvrd").string());
        d.chosen = file;
        QVERIFY(d.save(true));
        QCOMPARE(d.title(), kCaption + " - " + file);

        d.drawLine(40);
        QCOMPARE(d.title(), kCaption + " - *" + file);
        d.home()->onCommand(app::Command::Undo);
        QCOMPARE(d.title(), kCaption + " - " + file);
        d.home()->onCommand(app::Command::Redo);
        QCOMPARE(d.title(), kCaption + " - *" + file);

        // A save that cannot be written keeps the mark (a folder stands where the file goes).
        fs::remove(file.toStdString());
        test::writeFile(fs::path(file.toStdString()) / "x", "x");
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!d.save(false));
        QVERIFY(MessageBox::lastText().startsWith("保存できませんでした。"));
        QCOMPARE(d.title(), kCaption + " - *" + file);
        fs::remove_all(file.toStdString());
        QVERIFY(d.save(false));
        QCOMPARE(d.title(), kCaption + " - " + file);
        QCOMPARE(d.savedLines(file.toStdString()), std::size_t(2));

        // Undo below the saved step marks it; a new change at the saved step's number is not it.
        d.home()->onCommand(app::Command::Undo);
        QCOMPARE(d.title(), kCaption + " - *" + file);
        d.drawLine(60);
        QCOMPARE(d.ctx.document.working.step(), 2);
        QCOMPARE(d.title(), kCaption + " - *" + file);
        QVERIFY(d.save(false));
        d.home()->onCommand(app::Command::ToggleFavourite);
        QCOMPARE(d.title(), kCaption + " - *" + file);
        d.home()->onCommand(app::Command::ToggleFavourite);
        QCOMPARE(d.title(), kCaption + " - " + file);
    }

    // The untitled document lives in tmp/ as before, but quitting with elements in it asks: はい
    // saves under a name chosen then, and a cancelled choice stays; the close button asks too.
    void quittingWithUntitledWorkAsks() {
        test::TempDir dir;
        Desk d(dir.path());
        // Nothing drawn: no question.
        {
            Desk empty((dir / "empty").string());
            empty.window->close();
            QVERIFY(!empty.window->isVisible());
            QCOMPARE(empty.shutdowns, 1);
        }
        d.drawLine(20);
        MessageBox::setNextAnswer(QMessageBox::Cancel);
        d.window->close(); // the close button
        QVERIFY(d.window->isVisible());
        QCOMPARE(MessageBox::lastText(), QString("無題のファイルに保存されていない作業があります。保存しますか?"));
        // はい with the save dialog cancelled: still open, nothing written.
        d.chosen.clear();
        MessageBox::setNextAnswer(QMessageBox::Yes);
        d.pressCtrlQ();
        QVERIFY(d.window->isVisible());
        QCOMPARE(d.dialogs, 1);
        // An unattended run never decides for the user: it keeps the program open.
        d.window->close();
        QVERIFY(d.window->isVisible());
        // はい and a name: saved there, then the program ends.
        const std::string file = (dir / "kept.tvrd").string();
        d.chosen = QString::fromStdString(file);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        d.window->close();
        QVERIFY(!d.window->isVisible());
        QCOMPARE(d.shutdowns, 1);
        QCOMPARE(d.savedLines(file), std::size_t(1));
    }

    // New and Open ask about a named document's changes; a failed open asks nothing.
    void newAndOpenAskAboutChanges() {
        test::TempDir dir;
        Desk d(dir.path());
        const std::string mine = (dir / "mine.tvrd").string();
        const std::string other = (dir / "other.tvrd").string();
        d.drawLine(20);
        d.chosen = QString::fromStdString(other);
        QVERIFY(d.save(true));
        d.chosen = QString::fromStdString(mine);
        QVERIFY(d.save(true));
        d.drawLine(40);
        const std::string before = test::readFile(mine);

        MessageBox::setNextAnswer(QMessageBox::Cancel);
        d.home()->onCommand(app::Command::NewDocument);
        QCOMPARE(MessageBox::lastText(), QString("「mine.tvrd」への変更を保存しますか?"));
        QCOMPARE(d.dayList().size(), std::size_t(2));

        QSignalSpy opened(d.documents(), &DocumentCommands::opened);
        MessageBox::setNextAnswer(QMessageBox::Ok);
        d.documents()->openPath(QString::fromStdString((dir / "missing.tvrd").string()));
        QVERIFY(opened.wait(10000));
        QVERIFY(MessageBox::lastText().contains("missing.tvrd")); // the failure, not the question
        QCOMPARE(d.dayList().size(), std::size_t(2));

        MessageBox::setNextAnswer(QMessageBox::Cancel);
        d.documents()->openPath(QString::fromStdString(other));
        QVERIFY(opened.wait(10000));
        QVERIFY(!opened.back().front().toBool());
        QCOMPARE(d.ctx.document.savedPath, mine);
        QCOMPARE(d.dayList().size(), std::size_t(2));

        MessageBox::setNextAnswer(QMessageBox::No);
        d.documents()->openPath(QString::fromStdString(other));
        QVERIFY(opened.wait(10000));
        QVERIFY(opened.back().front().toBool());
        QCOMPARE(d.ctx.document.savedPath, other);
        QCOMPARE(test::readFile(mine), before); // given up, not written
        QCOMPARE(d.title(), kCaption + " - " + QString::fromStdString(other));

        d.drawLine(40);
        MessageBox::setNextAnswer(QMessageBox::Yes); // saved, then the new document
        d.home()->onCommand(app::Command::NewDocument);
        QCOMPARE(d.savedLines(other), std::size_t(2));
        QVERIFY(d.ctx.document.savedPath.empty());
        QCOMPARE(d.title(), kCaption);
    }

    // SIGTERM (a log-out) with unsaved work: the work is kept in the data folder, the user's
    // file untouched, and the next start offers it back; いいえ there gives it up.
    void aSessionEndKeepsTheWorkForTheNextStart_data() {
        QTest::addColumn<bool>("named");
        QTest::newRow("untitled") << false;
        QTest::newRow("named") << true;
    }

    void aSessionEndKeepsTheWorkForTheNextStart() {
        QFETCH(bool, named);
        test::TempDir dir;
        const std::string file = (dir / "mine.tvrd").string();
        std::string before;
        {
            Desk d(dir.path());
            d.drawLine(20);
            if (named) {
                d.chosen = QString::fromStdString(file);
                QVERIFY(d.save(true));
                before = test::readFile(file);
            }
            d.drawLine(40);
            framework::ZLog log;
            bool ended = false;
            app::EndSession endSession([&] {
                app::keepWorkAtSessionEnd(d.ctx, log);
                ended = true;
            });
            std::raise(SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
            QCOMPARE(d.shutdowns, 0); // no exit sequence, no question
        }
        if (named) {
            QCOMPARE(test::readFile(file), before);
        }
        app::AppPaths paths;
        paths.root = dir.str();
        QVERIFY(app::findRecovery(paths));

        // The next start: an unattended run leaves the offer for later.
        {
            Desk next(dir.path());
            next.home()->openStartupDocument();
            QCOMPARE(next.dayList().size(), std::size_t(0));
            QVERIFY(app::findRecovery(next.ctx.paths));
            QVERIFY(MessageBox::lastText().contains("復元しますか?"));
        }
        // はい: the work is back, marked, under its name; the file on disk is still the old one.
        {
            Desk next(dir.path());
            MessageBox::setNextAnswer(QMessageBox::Yes);
            next.home()->openStartupDocument();
            QCOMPARE(next.dayList().size(), std::size_t(2));
            QCOMPARE(next.ctx.document.savedPath, named ? file : std::string());
            QCOMPARE(next.title(), kCaption + " - *" + (named ? QString::fromStdString(file) : "無題.tvrd"));
            QCOMPARE(next.window->mainPanel()->statusBar()->text(), QString("前回保管した作業を復元しました"));
            // Kept on disk until it is saved or given up: いいえ at the quit gives it up.
            QVERIFY(app::findRecovery(next.ctx.paths));
            MessageBox::setNextAnswer(QMessageBox::No);
            next.window->close();
            QVERIFY(!next.window->isVisible());
            QVERIFY(!app::findRecovery(next.ctx.paths));
        }
        if (named) {
            QCOMPARE(test::readFile(file), before);
        }
    }

    // The offer declined: the kept work is removed and the start goes on as usual.
    void declinedKeptWorkIsRemoved() {
        test::TempDir dir;
        {
            Desk d(dir.path());
            d.drawLine(20);
            QCOMPARE(app::writeRecovery(d.ctx), app::RecoveryWrite::Written);
            MessageBox::setNextAnswer(QMessageBox::No);
            d.window->close();
        }
        Desk next(dir.path());
        MessageBox::setNextAnswer(QMessageBox::No);
        next.home()->openStartupDocument();
        QVERIFY(!app::findRecovery(next.ctx.paths));
        QCOMPARE(next.dayList().size(), std::size_t(0));
        QCOMPARE(next.title(), kCaption);
    }
};

QTEST_MAIN(UnsavedWorkTest)
#include "UnsavedWorkTest.moc"

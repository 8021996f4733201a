// The updater hand-off at exit: started detached with the account and the pending files.
#include "app/Updater.h"
#include "app/core/AppContext.h"
#include "support/TempDir.h"

#include <QtTest>

#include <filesystem>

using namespace tavora;

class UpdaterTest : public QObject {
    Q_OBJECT

    // A stand-in updater that writes its arguments, one per line, next to itself.
    static void installRecorder(const std::filesystem::path& dir) {
        test::writeFile(dir / "ZUpdater", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.tmp\"\n"
                                          "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
        std::filesystem::permissions(dir / "ZUpdater", std::filesystem::perms::owner_all);
    }

private slots:
    void startsOnlyWhenAskedAndPresent_data() {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("pending");
        QTest::addColumn<bool>("started");
        QTest::newRow("asked, with files") << true << true << "Tavora ZFC.dll" << true;
        QTest::newRow("asked, nothing pending") << true << true << "" << true;
        QTest::newRow("not asked") << false << true << "" << false;
        QTest::newRow("no updater") << true << false << "" << false;
    }

    void startsOnlyWhenAskedAndPresent() {
        QFETCH(bool, asked);
        QFETCH(bool, present);
        QFETCH(QString, pending);
        QFETCH(bool, started);
        test::TempDir dir;
        app::AppContext ctx;
        ctx.paths.updaterDir = dir.str();
        ctx.updateAccount = {"up.tavora", "secret", "ref.example", "60000"};
        ctx.pendingUpdate.set(pending.toStdString());
        ctx.updateOnExit = asked;
        if (present)
            installRecorder(dir.path());
        QCOMPARE(app::startUpdaterIfRequested(ctx), started);
        if (!started)
            return;
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(dir / "args.txt"), 5000);
        const QString args = QString::fromStdString(test::readFile(dir / "args.txt"));
        QCOMPARE(args, "Tavora\nup.tavora\nsecret\nref.example\n60000\n" + pending + "\n");
    }
};

QTEST_MAIN(UpdaterTest)
#include "UpdaterTest.moc"

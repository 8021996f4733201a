// The tavora program as a process: the single-instance lock, a data folder it cannot write,
// and the exit sequence.
#include "framework/Sql.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QtTest>

#include <array>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tavora;

class ProgramTest : public QObject {
    Q_OBJECT

    // A data folder whose settings point the reference server at a closed loopback port, so
    // start-up fails fast and sends nothing beyond 127.0.0.1.
    // The window's rectangle kept from the last run (left, top, right, bottom), or none.
    using StoredRect = std::optional<std::array<int, 4>>;

    static std::filesystem::path prepareRoot(const test::TempDir& dir,
                                             StoredRect rect = std::array<int, 4>{40, 30, 1240, 830}) {
        const auto root = dir.path() / "Tavora";
        std::filesystem::create_directories(root);
        std::filesystem::permissions(root, std::filesystem::perms::owner_all);
        framework::ZSqlElement db;
        framework::SQL_Open(db, (root / "settei.db").string());
        framework::SQLList none;
        framework::SQL_exec(
            db, "CREATE TABLE 'koumokutb' (koumoku TEXT primary key,value TEXT,sonota1 TEXT);", none);
        for (const char* row : {"INSERT INTO koumokutb (koumoku,value) VALUES ('refserver_host','127.0.0.1')",
                                "INSERT INTO koumokutb (koumoku,value) VALUES ('refserver_port','9')",
                                "INSERT INTO koumokutb (koumoku,value) VALUES ('sync_moravel_db','0')"})
            framework::SQL_exec(db, row, none);
        if (rect) {
            const char* keys[] = {"apri_rect_left", "apri_rect_top", "apri_rect_right", "apri_rect_bottom"};
            for (int i = 0; i < 4; ++i)
                framework::SQL_exec(db,
                                    "INSERT INTO koumokutb (koumoku,value) VALUES ('" + std::string(keys[i]) +
                                        "','" + std::to_string((*rect)[std::size_t(i)]) + "')",
                                    none);
        }
        return root;
    }

    // The offscreen platform with one screen of the given size (its configuration file is
    // written into the test's folder).
    static QString offscreenWithScreen(const test::TempDir& dir, int width, int height) {
        const auto config = dir.path() / "screen.json";
        test::writeFile(config, "{\"screens\": [{\"name\": \"screen-1\", \"x\": 0, \"y\": 0, \"width\": " +
                                    std::to_string(width) + ", \"height\": " + std::to_string(height) +
                                    ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
        return "offscreen:configfile=" + QString::fromStdString(config.string());
    }

    static QProcessEnvironment environment(const test::TempDir& dir) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVORA_APPDATA", QString::fromStdString(dir.str()));
        env.insert("TAVORA_TODAY", "2026-03-13");
        env.insert("TAVORA_NONINTERACTIVE", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("XDG_DATA_HOME");
        return env;
    }

    static QString program() { return QString(TAVORA_BIN_DIR) + "/tavora"; }

    static std::map<std::string, std::string> settingsOf(const std::filesystem::path& root) {
        framework::ZSqlElement db;
        framework::SQL_Open(db, (root / "settei.db").string());
        framework::SQLList rows;
        framework::SQL_exec(db, "select koumoku, value from koumokutb;", rows);
        std::map<std::string, std::string> out;
        for (const auto& r : rows.rows)
            out[r.value("koumoku")] = r.value("value");
        return out;
    }

private slots:
    void aSecondInstanceSaysSoAndExitsZero() {
        test::TempDir dir;
        const auto root = prepareRoot(dir);
        // The first instance: whoever holds the lock.
        const int fd = ::open((root / ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        QProcess second;
        second.setProcessEnvironment(environment(dir));
        second.start(program());
        QVERIFY(second.waitForFinished(20000));
        ::close(fd);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(QString::fromUtf8(second.readAllStandardError())
                    .contains("Tavora: Tavoraはすでに起動しております。"));
        QVERIFY(!std::filesystem::exists(root / "log" / "log.txt")); // nothing else was touched
    }

    // A data folder that cannot be written is said to be so, with its path, and ends the
    // program with status 1; it is never taken for a running program. Two conditions that
    // hold for root as well: the lock file's place is taken by a directory, and the folder
    // is a read-only bind mount (where the kernel lets the test make one).
    void aDataFolderThatCannotBeWrittenIsSaidToBeSo_data() {
        QTest::addColumn<bool>("readOnlyMount");
        QTest::newRow("lock file cannot be made") << false;
        QTest::newRow("read-only folder") << true;
    }

    void aDataFolderThatCannotBeWrittenIsSaidToBeSo() {
        QFETCH(bool, readOnlyMount);
        test::TempDir dir;
        const auto root = prepareRoot(dir);
        QString program = ProgramTest::program();
        QStringList args;
        if (readOnlyMount) {
            // sh -c SCRIPT ROOT PROGRAM: the folder bound onto itself read-only, then the program.
            const QString script =
                "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && exec \"$1\"";
            QProcess probe;
            probe.start("unshare", {"-m", "sh", "-c", script, QString::fromStdString(root.string()), "true"});
            if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
                probe.exitCode() != 0)
                QSKIP("no read-only bind mount can be made here (unshare -m needs CAP_SYS_ADMIN)");
            args = QStringList{"-m", "sh", "-c", script, QString::fromStdString(root.string()), program};
            program = "unshare";
        } else {
            std::filesystem::create_directory(root / ".lock");
        }
        QProcess tavora;
        tavora.setProcessEnvironment(environment(dir));
        tavora.start(program, args);
        QVERIFY(tavora.waitForFinished(20000));
        const QString err = QString::fromUtf8(tavora.readAllStandardError());
        QCOMPARE(tavora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavora.exitCode(), 1);
        QVERIFY2(
            err.contains("Tavora: データフォルダに書き込めません: " + QString::fromStdString(root.string())),
            qPrintable(err));
        QVERIFY2(!err.contains("すでに起動"), qPrintable(err));
        QVERIFY(!std::filesystem::exists(root / "log" / "log.txt"));
    }

    void exitWritesTheExitKeysAndTheScaleFile() {
        test::TempDir dir;
        const auto root = prepareRoot(dir);
        QProcess tavora;
        auto env = environment(dir);
        env.insert("QT_QPA_PLATFORM", offscreenWithScreen(dir, 1920, 1080)); // the stored place fits
        env.insert("TAVORA_QUIT_AFTER_FIRST_CHART", "1"); // ends through the normal exit
        tavora.setProcessEnvironment(env);
        tavora.start(program());
        QVERIFY(tavora.waitForFinished(60000));
        const QString out = QString::fromUtf8(tavora.readAllStandardOutput());
        QCOMPARE(tavora.exitCode(), 0);
        QVERIFY2(out.contains("first-chart"), qPrintable(out + tavora.readAllStandardError()));

        const auto keys = settingsOf(root);
        for (const char* key :
             {"jyuji_sencr", "memo_fontsize", "d_x_haba_p", "y_y_ichimemori", "buckupcreate_ch"})
            QVERIFY2(keys.count(key), key);
        QCOMPARE(keys.at("refserver_host"), std::string("127.0.0.1")); // other keys stay
        // The window opened at the stored rectangle and left it there.
        QCOMPARE(keys.at("apri_rect_left"), std::string("40"));
        QCOMPARE(keys.at("apri_rect_right"), std::string("1240"));
        QCOMPARE(keys.at("apri_rect_bottom"), std::string("830"));

        // The first catalogue entry was current at exit: its scale row is in the file.
        framework::ZSqlElement scales;
        QCOMPARE(framework::SQL_Open(scales, (root / "graphdata.tvd").string()), 0);
        framework::SQLList rows;
        framework::SQL_exec(scales, "select code, d_x_haba_p from graphdata_tb;", rows);
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.rows[0].value("code"), std::string("0001"));

        QVERIFY(!std::filesystem::exists(root / "tmp"));
        QVERIFY(test::readFile(root / "log" / "log.txt").find("****** tavora_end ******") !=
                std::string::npos);
    }

    // On a 1280 x 720 screen the window opens inside the screen, whatever was stored: the
    // rectangle it keeps at exit is the one it opened at.
    void theWindowOpensInsideASmallScreen_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<bool>("centred");
        QTest::newRow("first start (1400 x 860 by default)") << false << 0 << 0 << 0 << 0 << true;
        QTest::newRow("kept from a larger screen (1300 x 820)") << true << 40 << 30 << 1340 << 850 << false;
        QTest::newRow("kept on a screen that is gone") << true << 3000 << 200 << 4200 << 1000 << true;
        QTest::newRow("kept, fits, half off the screen") << true << 600 << 400 << 1600 << 1060 << false;
    }
    void theWindowOpensInsideASmallScreen() {
        QFETCH(bool, stored);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, right);
        QFETCH(int, bottom);
        QFETCH(bool, centred);
        test::TempDir dir;
        const auto root = prepareRoot(dir, stored ? StoredRect(std::array<int, 4>{left, top, right, bottom})
                                                  : StoredRect());
        QProcess tavora;
        auto env = environment(dir);
        env.insert("QT_QPA_PLATFORM", offscreenWithScreen(dir, 1280, 720));
        env.insert("TAVORA_QUIT_AFTER_FIRST_CHART", "1");
        tavora.setProcessEnvironment(env);
        tavora.start(program());
        QVERIFY(tavora.waitForFinished(60000));
        QCOMPARE(tavora.exitCode(), 0);

        const auto keys = settingsOf(root);
        const int l = std::stoi(keys.at("apri_rect_left"));
        const int t = std::stoi(keys.at("apri_rect_top"));
        const int r = std::stoi(keys.at("apri_rect_right"));
        const int b = std::stoi(keys.at("apri_rect_bottom"));
        const QString rect = QString("%1,%2 - %3,%4").arg(l).arg(t).arg(r).arg(b);
        QVERIFY2(l >= 0 && t >= 0 && r <= 1280 && b <= 720, qPrintable(rect));
        // Its own size, or cut to the screen (the frame takes a few pixels), not smaller.
        const int wantedWidth = stored ? right - left : 1400;
        const int wantedHeight = stored ? bottom - top : 860;
        QVERIFY2(r - l <= wantedWidth && r - l >= std::min(wantedWidth, 1260), qPrintable(rect));
        QVERIFY2(b - t <= wantedHeight && b - t >= std::min(wantedHeight, 700), qPrintable(rect));
        qInfo("opened at %s", qPrintable(rect));
        if (centred)
            QVERIFY2(std::abs(l - (1280 - r)) <= 1 && std::abs(t - (720 - b)) <= 1, qPrintable(rect));
    }

    // A log-off (SIGTERM) ends the program with the end-session banner and saves nothing.
    void sigtermLogsTheEndOfTheSessionAndSavesNothing() {
        test::TempDir dir;
        const auto root = prepareRoot(dir);
        QProcess tavora;
        tavora.setProcessEnvironment(environment(dir));
        tavora.start(program());
        QVERIFY(tavora.waitForStarted(20000));
        const auto logTxt = root / "log" / "log.txt";
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(logTxt) &&
                                     test::readFile(logTxt).find("****** tavora_start ******") !=
                                         std::string::npos,
                                 30000);
        tavora.terminate();
        QVERIFY(tavora.waitForFinished(20000));
        QCOMPARE(tavora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavora.exitCode(), 0);
        const std::string log = test::readFile(logTxt);
        QVERIFY2(log.find("****** tavora_end_endsession ******") != std::string::npos, log.c_str());
        QVERIFY2(log.find("****** tavora_end ******") == std::string::npos, log.c_str());
        const auto keys = settingsOf(root);
        QVERIFY(!keys.count("d_x_haba_p")); // no exit keys written
        QCOMPARE(keys.at("apri_rect_right"), std::string("1240"));
        QVERIFY(!std::filesystem::exists(root / "recovery")); // no unsaved work, nothing kept
    }

    // Work kept at the end of an earlier session is offered at start; an unattended run leaves
    // it for an attended one and still starts and ends as usual.
    void keptWorkWaitsForAnAttendedStart() {
        test::TempDir dir;
        const auto root = prepareRoot(dir);
        std::filesystem::create_directories(root / "recovery");
        const std::string kept = "not opened by an unattended run";
        test::writeFile(root / "recovery" / "recovery.tvrd", kept);
        test::writeFile(root / "recovery" / "source.txt", "");
        QProcess tavora;
        auto env = environment(dir);
        env.insert("TAVORA_QUIT_AFTER_FIRST_CHART", "1");
        tavora.setProcessEnvironment(env);
        tavora.start(program());
        QVERIFY(tavora.waitForFinished(60000));
        QCOMPARE(tavora.exitCode(), 0);
        const QString err = QString::fromUtf8(tavora.readAllStandardError());
        QVERIFY2(err.contains("無題のファイルの作業を保管しました。復元しますか?"), qPrintable(err));
        QCOMPARE(test::readFile(root / "recovery" / "recovery.tvrd"), kept);
    }

    // A date override that is no date is said to be so before anything starts (no lock, no
    // log), rather than being replaced by the clock without a word.
    void anOverrideOfTodayThatIsNoDateEndsTheStart() {
        test::TempDir dir;
        QProcess tavora;
        auto env = environment(dir);
        env.insert("TAVORA_TODAY", "2026-13-45");
        tavora.setProcessEnvironment(env);
        tavora.start(program());
        QVERIFY(tavora.waitForFinished(20000));
        QCOMPARE(tavora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavora.exitCode(), 1);
        const QString err = QString::fromUtf8(tavora.readAllStandardError());
        QVERIFY2(err.contains("Tavora: TAVORA_TODAY='2026-13-45' is not a date as YYYY-MM-DD"),
                 qPrintable(err));
        QVERIFY(!std::filesystem::exists(dir / "Tavora" / "log"));
    }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"

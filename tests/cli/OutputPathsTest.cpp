// What tavora-cli writes to and reads from when the user names a path: --out of export, print
// and render never replaces a database, a FIFO, a device, a directory or a link's target in
// the data folder; input files that are FIFOs are refused at once instead of hanging with
// the data folder locked; and what the commands echo cannot act on the terminal.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tavora;

namespace {

// Fresh data folder (filled from the bundled sample data), no display, a fixed today.
class OutputPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run("info").status, 0);
        fs::create_directories(dir / "out");
    }
    test::CliRun run(const std::string& args, const std::string& env = {}) {
        return test::runCli(dir.path(), args,
                            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TAVORA_TODAY=2026-12-08 " +
                                env);
    }
    fs::path root() const { return dir / "Tavora"; }
    fs::path database() const { return root() / "data" / "kabukadb" / "kabuka.db"; }
    fs::path settings() const { return root() / "settei.db"; }
    static std::string q(const fs::path& p) { return "'" + p.string() + "'"; }
    static bool oneLine(const std::string& text) {
        return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
    }

    test::TempDir dir;
};

struct OutCommand {
    const char* name;
    const char* ext; // render takes its format from the extension
    std::string args(const std::string& out) const {
        return std::string(name) + " 0001 --out " + out +
               (std::string(name) == "print" ? " --from 2026-06" : "");
    }
};
const OutCommand kCommands[] = {{"export", ".csv"}, {"print", ".pdf"}, {"render", ".png"}};

TEST_F(OutputPathsTest, OutRefusesEveryPathItWouldDestroyAndKeepsTheDataWhole) {
    const std::string databaseBytes = test::readFile(database());
    const std::string settingsBytes = test::readFile(settings());
    ASSERT_FALSE(databaseBytes.empty());
    for (const auto& command : kCommands) {
        const fs::path out = dir / "out" / command.name;
        fs::create_directories(out);
        const std::string ext = command.ext;
        ASSERT_EQ(::mkfifo((out / ("fifo" + ext)).c_str(), 0600), 0);
        const bool device = ::mknod((out / ("null" + ext)).c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
        fs::create_symlink(database(), out / ("db-link" + ext));
        fs::create_symlink(settings(), out / ("settei-link" + ext));
        fs::create_symlink(root() / "data" / "kabukadb" / "kabuka.db-wal", out / ("wal-link" + ext));
        fs::create_directory(out / ("folder" + ext));
        fs::create_symlink(root(), out / "data-alias");

        std::vector<std::pair<fs::path, const char*>> hostile = {
            {out / ("fifo" + ext), "a FIFO"},
            {out / ("db-link" + ext), "data folder"},
            {out / ("settei-link" + ext), "data folder"},
            {out / ("wal-link" + ext), "data folder"},
            {out / ("folder" + ext), "a directory"},
            {out / "data-alias" / ("kabuka" + ext), "data folder"},
            {root() / "data" / "buckup" / ("new" + ext), "data folder"},
            {out / "missing" / ("x" + ext), "does not exist"},
        };
        if (device)
            hostile.push_back({out / ("null" + ext), "character device"});
        if (ext != ".png") // render refuses these names already for their extension (exit 2)
            for (const fs::path& kept : {database(), settings(), fs::path(database().string() + "-journal")})
                hostile.push_back({kept, "data folder"});
        for (const auto& [path, said] : hostile) {
            SCOPED_TRACE(command.args(q(path)));
            const auto r = run(command.args(q(path)));
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_TRUE(r.out.empty()) << r.out;
            EXPECT_TRUE(oneLine(r.err)) << r.err;
            EXPECT_EQ(r.err.rfind("tavora-cli: ", 0), 0u) << r.err;
            EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
            EXPECT_EQ(test::readFile(database()), databaseBytes);
            EXPECT_EQ(test::readFile(settings()), settingsBytes);
        }
        struct stat st {};
        EXPECT_TRUE(::stat((out / ("fifo" + ext)).c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
        if (device) {
            EXPECT_TRUE(::stat((out / ("null" + ext)).c_str(), &st) == 0 && S_ISCHR(st.st_mode));
        }
        EXPECT_TRUE(fs::is_symlink(out / ("db-link" + ext)));
        EXPECT_FALSE(fs::exists(root() / "data" / "kabukadb" / "kabuka.db-wal"));
        EXPECT_FALSE(fs::exists(root() / "data" / "kabukadb" / "kabuka.db-journal"));
        EXPECT_FALSE(fs::exists(root() / "data" / "buckup" / ("new" + ext)));
    }
}

TEST_F(OutputPathsTest, OutWritesANewNameAnExistingFileAndThroughALinkToOne) {
    for (const auto& command : kCommands) {
        const fs::path out = dir / "out" / command.name;
        const std::string ext = command.ext;
        fs::create_directories(out);
        test::writeFile(out / ("old" + ext), "old");
        test::writeFile(out / ("target" + ext), "old");
        fs::create_symlink(out / ("target" + ext), out / ("link" + ext));
        for (const fs::path& path : {out / ("new" + ext), out / ("old" + ext), out / ("link" + ext)}) {
            SCOPED_TRACE(command.args(q(path)));
            const auto r = run(command.args(q(path)));
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_GT(fs::file_size(path), 3u);
        }
        EXPECT_TRUE(fs::is_symlink(out / ("link" + ext))); // the link stays, its target got the output
        EXPECT_GT(fs::file_size(out / ("target" + ext)), 3u);
    }
}

TEST_F(OutputPathsTest, AFifoAsInputIsRefusedAtOnceAndTheDataFolderIsFreeAfterwards) {
    const fs::path fifo = dir / "out" / "prices.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A regression would block on the FIFO for good: the timeout turns that into a failure
    // (status 124) instead of a hanging test.
    for (const std::string& args :
         {"import --no-backup " + q(fifo), "import --preview " + q(fifo), "import-code 0001 " + q(fifo),
          "render 0001 --out " + q(dir / "out" / "x.png") + " --document " + q(fifo)}) {
        SCOPED_TRACE(args);
        const auto r = test::runCli(dir.path(), args, "timeout 20 env TAVORA_TODAY=2026-12-08");
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.out.find("a FIFO, not a regular file") + r.err.find("a FIFO, not a regular file"),
                  2 * std::string::npos)
            << r.out << r.err;
    }
    EXPECT_EQ(run("backups").status, 0); // the lock was let go
}

TEST_F(OutputPathsTest, OutputThatCannotBeWrittenIsAFailure) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    ASSERT_EQ(run("backup").status, 0);
    for (const char* args :
         {"backups >/dev/full", "codes >/dev/full", "export 0001 >/dev/full", "--version >/dev/full"}) {
        SCOPED_TRACE(args);
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(oneLine(r.err)) << r.err;
    }
    EXPECT_EQ(run("backups").status, 0);
}

// A full disk is named as such by every --out writer (render once said "Unknown error"): each
// command runs in a mount namespace of its own with a tiny file system, where the test may
// make one.
TEST_F(OutputPathsTest, AFullDiskIsNamedAsSuch) {
    const fs::path small = dir / "small";
    fs::create_directories(small);
    const std::string errFile = (dir / "full-stderr.txt").string();
    auto inSmallDisk = [&](const std::string& args) {
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TAVORA_TODAY=2026-12-08 "
            "TAVORA_APPDATA='" +
            dir.str() +
            "' unshare -m sh -c 'mount -t tmpfs -o size=12k "
            "tmpfs \"$0\" && exec \"$@\"' '" +
            small.string() + "' '" TAVORA_BIN_DIR "/tavora-cli' " + args + " >/dev/null 2>'" + errFile + "'";
        const int raw = std::system(command.c_str());
        return std::make_pair(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readFile(errFile));
    };
    if (std::system(("unshare -m sh -c 'mount -t tmpfs -o size=12k tmpfs \"$0\"' '" + small.string() +
                     "' 2>/dev/null")
                        .c_str()) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (unshare -m needs CAP_SYS_ADMIN)";
    for (const auto& command : kCommands) {
        SCOPED_TRACE(command.name);
        const auto [status, err] = inSmallDisk(command.args(q(small / (std::string("out") + command.ext))));
        EXPECT_EQ(status, 1) << err;
        EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
        EXPECT_EQ(err.find("Unknown error"), std::string::npos) << err;
    }
}

TEST_F(OutputPathsTest, NamesAndCellsFromFilesAreEchoedWithoutControlCharacters) {
    const fs::path file = dir / "out" / "\x1b]0;PWNED\x07prices.csv";
    test::writeFile(file, "0001,2026-01-05,1,2,1,2,100\n0001,2026-01-06,1,2,1,2,\x1b[2J\n");
    const std::string mapping = "--encoding UTF-8 --start 1 --column code=1 --column date=2 --column open=3 "
                                "--column high=4 --column low=5 --column close=6 --column volume=7 ";
    for (const std::string& args :
         {"import --no-backup " + mapping + q(file), "import --preview " + mapping + q(file),
          "import-code 9999 " + q(file), "export 0001 --out " + q(dir / "none" / "\x1b[2J.csv")}) {
        SCOPED_TRACE(args);
        const auto r = run(args);
        EXPECT_EQ((r.out + r.err).find_first_of("\x1b\x07"), std::string::npos) << r.out << r.err;
    }
    const auto r = run("import --no-backup " + mapping + q(file));
    EXPECT_NE(r.out.find("?]0;PWNED?prices.csv"), std::string::npos) << r.out;
}

TEST_F(OutputPathsTest, AnOverrideOfTodayThatIsNoDateIsRefusedBeforeAnythingRuns) {
    for (const char* bad : {"2026-13-45", "yesterday", "2026-02-30", "20261208"}) {
        SCOPED_TRACE(bad);
        const auto r = test::runCli(dir.path(), "codes", std::string("TAVORA_TODAY=") + bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_TRUE(oneLine(r.err)) << r.err;
        EXPECT_NE(r.err.find("TAVORA_TODAY='" + std::string(bad) + "'"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::runCli(dir.path(), "codes", "TAVORA_TODAY=2026-12-08").status, 0);
}

TEST_F(OutputPathsTest, AnUnreadableDocumentIsNamedWithItsReason) {
    const auto r =
        run("render 0001 --out " + q(dir / "out" / "x.png") + " --document " + q(dir / "none.tvrd"));
    EXPECT_EQ(r.status, 1);
    // (Qt may add a line of its own about the platform before it.)
    EXPECT_NE(r.err.find("tavora-cli: cannot read " + (dir / "none.tvrd").string() +
                         ": No such file or directory\n"),
              std::string::npos)
        << r.err;
}

} // namespace

#include "app/Application.h"

#include "annotations/ui/DocumentCommands.h"
#include "app/ApliWindow.h"
#include "app/AppIcon.h"
#include "app/DataFolderClaim.h"
#include "app/EndSession.h"
#include "app/FileDialogPlaces.h"
#include "app/HomePanel.h"
#include "app/MainPanel.h"
#include "app/NoticeText.h"
#include "app/Updater.h"
#include "app/core/AppContext.h"
#include "app/core/BundledData.h"
#include "app/core/Commands.h"
#include "app/core/CompanionSync.h"
#include "app/core/DocumentSteps.h"
#include "app/core/ReferenceStartup.h"
#include "app/core/Startup.h"
#include "app/core/WorkRecovery.h"
#include "framework/Dates.h"
#include "framework/Log.h"
#include "framework/ShownText.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/QtTranslations.h"
#include "framework/ui/SplashWindow.h"
#include "framework/ui/TitleTabBar.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace tavora::app {

namespace {

// Unattended runs: TAVORA_SCREENSHOT=<png> saves the window once the first chart is painted
// (after choosing the title-bar tab TAVORA_SCREENSHOT_TAB, a number, or carrying out the command
// TAVORA_SCREENSHOT_COMMAND, say 127 for the analysis-graph editor, when set) and ends the
// program; TAVORA_QUIT_AFTER_FIRST_CHART=1 prints "first-chart" on standard output at that
// moment and ends it (the start-up measurement reads that line). Both end through the
// normal exit.
void armAutomation(ApliWindow& window) {
    const char* shot = std::getenv("TAVORA_SCREENSHOT");
    const char* quit = std::getenv("TAVORA_QUIT_AFTER_FIRST_CHART");
    if ((!shot || !*shot) && (!quit || !*quit))
        return;
    const QString shotPath = QString::fromLocal8Bit(shot ? shot : "");
    QObject::connect(&window, &ApliWindow::firstLayoutFinished, &window, [&window, shotPath] {
        if (shotPath.isEmpty()) {
            std::printf("first-chart\n");
            std::fflush(stdout);
            QTimer::singleShot(0, &window, &QWidget::close);
            return;
        }
        if (const char* tab = std::getenv("TAVORA_SCREENSHOT_TAB"); tab && *tab)
            window.tabBar()->clickTab(std::atoi(tab));
        if (const char* command = std::getenv("TAVORA_SCREENSHOT_COMMAND"); command && *command)
            window.mainPanel()->onCommand(static_cast<Command>(std::atoi(command)));
        // Let the window (and a side sheet sliding in) settle before it is grabbed.
        QTimer::singleShot(800, &window, [&window, shotPath] {
            if (!window.grab().save(shotPath))
                std::fprintf(stderr, "tavora: cannot write %s\n", shotPath.toUtf8().constData());
            window.close();
        });
    });
}

} // namespace

int runDesktop(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("Tavora");
    QApplication::setWindowIcon(appIcon());
    framework::ui::installQtJapaneseTranslations(qapp); // はい/いいえ on the standard buttons
    std::srand(unsigned(std::time(nullptr)));
    // A wrong date override would silently give way to the clock: refused before anything runs.
    if (const std::string problem = framework::todayOverrideProblem(); !problem.empty()) {
        framework::ui::MessageBox::warning(nullptr, QString::fromStdString(framework::shownLine(problem)),
                                           "Tavora");
        return 1;
    }

    auto ctx = std::make_unique<AppContext>();
    ctx->noticeText = composeNoticeText();
    // Opened after the first layout; a relative path is taken against the folder the program
    // was started in (it moves to its own folder below).
    std::error_code cwdError;
    ctx->commandLine =
        argc < 2 ? std::string() : commandLineDocument(argv[1], std::filesystem::current_path(cwdError).string());

    // One running instance per data folder; a folder that cannot be made or written ends the
    // program with its own message.
    const std::string root = resolveApplicationRoot();
    const DataFolderClaim claim = claimDataFolder(root);
    if (claim.result == DataFolderClaim::Result::InUse) {
        framework::ui::MessageBox::information(nullptr, QString::fromStdString(claim.desktopMessage()),
                                               "Tavora");
        return 0;
    }
    if (!claim.claimed()) {
        framework::ui::MessageBox::warning(nullptr, QString::fromStdString(claim.desktopMessage()), "Tavora");
        return 1;
    }
    const std::filesystem::path exeDir = currentExecutableDir();
    if (!exeDir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(exeDir, ec);
    }

    framework::ui::SplashWindow splash(appIcon(),
                                       QString::fromStdString(ctx->appTitle + " " + ctx->versionText));
    splash.show();
    splash.status("データの取得");

    framework::ZLog log;
    bool sessionEnded = false;
    // A log-off or SIGTERM: unsaved document work kept for the next start, the end-session
    // banner, and nothing else saved.
    EndSession endSession([&] {
        sessionEnded = true;
        keepWorkAtSessionEnd(*ctx, log);
        logEndSession(log);
        qapp.exit(0); // does nothing before exec(): start-up checks the flag before it
    });

    if (!runCoreStartup(*ctx, log, splash, root)) {
        splash.close();
        framework::ui::MessageBox::warning(
            nullptr, QString::fromStdString("データフォルダを作成できません: " + root), "Tavora");
        return 1;
    }
    installFileDialogPlaces(*ctx);
    app::RunStartupCompanionSync(*ctx, log, splash); // step 13
    splash.percent(30);
    auto window = std::make_unique<ApliWindow>(*ctx); // the main panel; the chart panels take the settings
    splash.percent(50);
    app::StartNetwork(*ctx, splash, &log);
    app::StartUpdateCheck(*ctx, splash, exeDir.string());
    app::StartReferenceRefresh(*ctx, splash, nullptr, {}, &log);
    splash.percent(70);
    runCatalogueStartup(*ctx, log, splash);
    int percent = 75;
    for (const char* text : {"日足グラフの初期化中", "週足グラフの初期化中", "月足グラフの初期化中",
                             "年足グラフの初期化中", "描画中"}) {
        splash.status(text);
        splash.percent(percent += 5);
    }

    window->mainPanel()->homePanel()->setLog(&log);
    window->setSplash(&splash);
    window->setShutdown([&] {
        if (sessionEnded)
            return;
        app::StopUpdateCheck(*ctx);
        HomePanel* home = window->mainPanel()->homePanel();
        home->documents()->waitForJob(); // a save in progress ends before the program does
        home->storeCurrentScale(); // the panels' scales into the context
        window->mainPanel()->leaveVisiblePage(); // the import page keeps its column mapping
        runCoreShutdownSaves(*ctx, log);
    });
    armAutomation(*window);
    window->setFirstLayoutPending();
    window->show();
    // A session end during start-up (its splash lets events through) leaves before the loop.
    const int rc = sessionEnded ? 0 : qapp.exec();
    if (sessionEnded)
        return 0;

    // The pages go first (their workers are told to stop and joined), then the temporary
    // files, the server session, the updater hand-off and the network.
    splash.close();
    window.reset();
    deleteTemporaryDirectory(*ctx);
    app::CloseReferenceSession(*ctx);
    startUpdaterIfRequested(*ctx);
    app::ReleaseNetwork(*ctx);
    log.Close();
    return rc;
}

} // namespace tavora::app

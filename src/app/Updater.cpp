#include "app/Updater.h"

#include "app/core/AppContext.h"

#include <QProcess>

#include <filesystem>

namespace tavora::app {

std::string updaterPath(const AppContext& ctx) { return ctx.paths.updaterDir + "/ZUpdater"; }

QStringList updaterArguments(const AppContext& ctx) {
    const auto& a = ctx.updateAccount;
    return {QString::fromStdString(ctx.appTitle), QString::fromStdString(a.user), QString::fromStdString(a.password),
            QString::fromStdString(a.host),      QString::fromStdString(a.port), QString::fromStdString(ctx.pendingUpdate.text())};
}

bool startUpdaterIfRequested(const AppContext& ctx) {
    if (!ctx.updateOnExit)
        return false;
    const std::string program = updaterPath(ctx);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(program, ec))
        return false;  // a missing updater leaves the exit as it is
    return QProcess::startDetached(QString::fromStdString(program), updaterArguments(ctx),
                                   QString::fromStdString(ctx.paths.updaterDir));
}

}  // namespace tavora::app

#include "acquisition/ReferenceStartup.h"

#include "acquisition/DataSession.h"
#include "acquisition/UpdateCheck.h"
#include "framework/TlsContext.h"

namespace tavora::acquisition {

namespace {

SessionConfig configFor(const app::ServerAccount& account, const framework::NetTimeouts& timeouts) {
    SessionConfig config;
    config.host = account.host;
    config.port = account.port;
    config.user = account.user;
    config.password = account.password;
    config.timeouts = timeouts;
    return config;
}

} // namespace

void StartNetwork(app::AppContext& context, framework::ProgressSink& sink) {
    const auto& s = context.settings;
    for (app::ServerAccount* account : {&context.dataAccount, &context.updateAccount}) {
        account->host = s.refserver_host;
        account->port = s.refserver_port;
    }
    std::string warning;
    context.tlsContext = framework::TlsContext::create(s.refserver_cafile, warning);
    if (!warning.empty())
        sink.logLine("TLS初期化_" + warning);
}

void StartUpdateCheck(app::AppContext& context, framework::ProgressSink& sink, const std::string& binDir,
                      const framework::NetTimeouts& timeouts) {
    sink.status("更新プログラムの確認");
    context.pendingUpdate.set("");
    if (!context.tlsContext)
        return;
    app::PendingUpdate* pending = &context.pendingUpdate;
    context.updateCheck = std::make_shared<UpdateCheck>(
        context.tlsContext, configFor(context.updateAccount, timeouts), installedProgramFiles(binDir),
        [pending](const std::string& names) { pending->set(names); });
    context.updateCheck->start();
}

bool StartReferenceRefresh(app::AppContext& context, framework::ProgressSink& sink, RefreshReport* report,
                           const framework::NetTimeouts& timeouts) {
    context.dataSession =
        std::make_shared<DataSession>(context.tlsContext, configFor(context.dataAccount, timeouts));
    context.dataSession->setProgress(&sink);
    RefreshTargets targets{context.paths.marketDayDir, context.paths.othersDir, context.settings.codeauto_ch};
    bool opened = OpenDataSession(*context.dataSession, targets, sink, report);
    // The sink belongs to start-up (a splash or a progress line); later operations report nowhere
    // unless a caller sets a sink of its own.
    context.dataSession->setProgress(nullptr);
    return opened;
}

void StopUpdateCheck(app::AppContext& context) {
    if (context.updateCheck)
        context.updateCheck->stop();
}

void CloseReferenceSession(app::AppContext& context) {
    if (context.dataSession)
        context.dataSession->CloseDataSession();
}

void ReleaseNetwork(app::AppContext& context) {
    context.updateCheck.reset();
    context.dataSession.reset();
    context.tlsContext.reset();
}

} // namespace tavora::acquisition

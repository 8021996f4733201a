#include "app/core/ReferenceStartup.h"

#include "acquisition/DataSession.h"
#include "acquisition/UpdateCheck.h"
#include "framework/TlsContext.h"

namespace tavora::app {

namespace {

// Passes everything on to the shown progress and writes log lines to the application log too.
class LoggedProgress : public framework::ProgressSink {
public:
    LoggedProgress(framework::ProgressSink& shown, framework::ZLog* log) : m_shown(shown), m_log(log) {}
    void status(const std::string& text) override { m_shown.status(text); }
    void percent(int value) override { m_shown.percent(value); }
    void logLine(const std::string& line) override {
        if (m_log)
            m_log->UpdLog(line);
        m_shown.logLine(line);
    }

private:
    framework::ProgressSink& m_shown;
    framework::ZLog* m_log;
};

acquisition::SessionConfig configFor(const ServerAccount& account, const framework::NetTimeouts& timeouts) {
    acquisition::SessionConfig config;
    config.host = account.host;
    config.port = account.port;
    config.user = account.user;
    config.password = account.password;
    config.timeouts = timeouts;
    return config;
}

} // namespace

void StartNetwork(AppContext& context, framework::ProgressSink& shown, framework::ZLog* log) {
    LoggedProgress sink(shown, log);
    const auto& s = context.settings;
    for (ServerAccount* account : {&context.dataAccount, &context.updateAccount}) {
        account->host = s.refserver_host;
        account->port = s.refserver_port;
    }
    std::string warning;
    context.tlsContext = framework::TlsContext::create(s.refserver_cafile, warning);
    if (!warning.empty())
        sink.logLine("TLS初期化_" + warning);
}

void StartUpdateCheck(AppContext& context, framework::ProgressSink& sink, const std::string& binDir,
                      const framework::NetTimeouts& timeouts) {
    sink.status("更新プログラムの確認");
    context.pendingUpdate.set("");
    if (!context.tlsContext)
        return;
    PendingUpdate* pending = &context.pendingUpdate;
    context.updateCheck = std::make_shared<acquisition::UpdateCheck>(
        context.tlsContext, configFor(context.updateAccount, timeouts),
        acquisition::installedProgramFiles(binDir),
        [pending](const std::string& names) { pending->set(names); });
    context.updateCheck->start();
}

bool StartReferenceRefresh(AppContext& context, framework::ProgressSink& shown,
                           acquisition::RefreshReport* report, const framework::NetTimeouts& timeouts,
                           framework::ZLog* log) {
    LoggedProgress sink(shown, log);
    context.dataSession = std::make_shared<acquisition::DataSession>(
        context.tlsContext, configFor(context.dataAccount, timeouts));
    context.dataSession->setProgress(&sink);
    acquisition::RefreshTargets targets{context.paths.marketDayDir, context.paths.othersDir,
                                        context.settings.codeauto_ch};
    bool opened = acquisition::OpenDataSession(*context.dataSession, targets, sink, report);
    // The system trust store is loaded by the first connection that needs it (TlsContext::get).
    if (context.tlsContext)
        if (const std::string problem = context.tlsContext->trustStoreProblem(); !problem.empty())
            sink.logLine("TLS初期化_" + problem);
    // The sink belongs to start-up (a splash or a progress line); later operations report nowhere
    // unless a caller sets a sink of its own.
    context.dataSession->setProgress(nullptr);
    return opened;
}

void StopUpdateCheck(AppContext& context) {
    if (context.updateCheck)
        context.updateCheck->stop();
}

void CloseReferenceSession(AppContext& context) {
    if (context.dataSession)
        context.dataSession->CloseDataSession();
}

void ReleaseNetwork(AppContext& context) {
    context.updateCheck.reset();
    context.dataSession.reset();
    context.tlsContext.reset();
}

} // namespace tavora::app

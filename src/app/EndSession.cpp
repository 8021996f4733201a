#include "app/EndSession.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tavora::app {

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void onEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);  // async-signal-safe
}
}  // namespace

EndSession::EndSession(std::function<void()> onEnd, QObject* parent) : QObject(parent), m_onEnd(std::move(onEnd)) {
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        fire();
    });
    struct sigaction sa {};
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { fire(); });
}

EndSession::~EndSession() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

void EndSession::fire() {
    if (m_fired)
        return;
    m_fired = true;
    if (m_onEnd)
        m_onEnd();
}

}  // namespace tavora::app

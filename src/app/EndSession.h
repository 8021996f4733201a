#pragma once
// The end of the user's session (SIGTERM, SIGHUP, or the session manager's end): the
// program keeps unsaved document work for the next start, logs the end-session banner and
// leaves without saving anything else, as at a log-off. The signal
// handler only writes one byte to a pipe; the UI thread reads it and calls the handler.
// Create once, on the UI thread, after the QApplication.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tavora::app {

class EndSession : public QObject {
    Q_OBJECT
public:
    explicit EndSession(std::function<void()> onEnd, QObject* parent = nullptr);
    ~EndSession() override;

private:
    void fire();

    std::function<void()> m_onEnd;
    QSocketNotifier* m_notifier = nullptr;
    bool m_fired = false;
};

}  // namespace tavora::app

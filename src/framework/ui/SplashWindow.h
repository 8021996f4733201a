#pragma once
// The splash window shown from early start-up until the first layout of the main window:
// the program's mark, its name and version, and the current start-up step with a progress
// bar. It is the ProgressSink of the start-up sequence, which runs on the UI thread, so
// each report repaints at once. UI thread only.
#include "framework/Progress.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tavora::framework::ui {

class SplashWindow : public QWidget, public framework::ProgressSink {
    Q_OBJECT
public:
    SplashWindow(const QIcon& icon, const QString& caption);

    void status(const std::string& text) override;
    void percent(int value) override;
    void logLine(const std::string&) override {}

    // Every status text shown, in order.
    const QStringList& shownTexts() const { return m_shown; }
    QString currentText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_status;
    QProgressBar* m_bar;
    QStringList m_shown;
    QString m_caption;
    QIcon m_icon;
};

}  // namespace tavora::framework::ui

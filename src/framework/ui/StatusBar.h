#pragma once
// The 25-pixel status bar at the bottom of the main window: a status text, a progress bar
// and a wait animation shown while a worker runs. UI thread only; workers reach it through
// queued calls (QMetaObject::invokeMethod).
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

namespace tavora::framework::ui {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 25;

    explicit StatusBar(QWidget* parent = nullptr);

    QString text() const;
    bool isWaiting() const { return m_waiting; }
    int progress() const;

signals:
    // The status text was set (also to the same text again).
    void textChanged(const QString& text);

public slots:
    void setText(const QString& text);
    // 0..100 shows the bar; -1 hides it.
    void setProgress(int percent);
    void startWait();
    // Stops the animation and clears the progress (the "done" notification of a worker).
    void stopWait();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_label;
    QProgressBar* m_progress;
    QTimer* m_waitTimer;
    bool m_waiting = false;
    int m_waitPhase = 0;
};

}  // namespace tavora::framework::ui

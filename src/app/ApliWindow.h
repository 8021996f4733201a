#pragma once
// The main window: the tab bar under the system title bar and the main panel inside a
// 3-pixel frame. It keeps the window rectangle in the context, finishes start-up at its
// first layout (the stored rectangle fitted to the screen, the current code opened, the splash hidden, the update
// notice timed) and hands a close request to its owner, which runs the shutdown sequence.
// UI thread only.
#include <QWidget>

#include <functional>

namespace tavora::framework::ui {
class SplashWindow;
class TitleTabBar;
}  // namespace tavora::framework::ui

namespace tavora::app {

struct AppContext;
class MainPanel;

class ApliWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameWidth = 3;

    explicit ApliWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~ApliWindow() override;

    MainPanel* mainPanel() const { return m_main; }
    framework::ui::TitleTabBar* tabBar() const { return m_tabs; }
    // The splash to hide at the first layout (not owned).
    void setSplash(QWidget* splash) { m_splash = splash; }
    // Marks start-up as done: the next layout is the first one.
    void setFirstLayoutPending() { m_firstLayoutPending = true; }
    bool firstLayoutDone() const { return m_firstLayoutDone; }
    // Called once when the window is about to close for good (Ctrl+Q, the close button, the
    // software update); the owner runs the shutdown sequence there.
    void setShutdown(std::function<void()> shutdown) { m_shutdown = std::move(shutdown); }

signals:
    void firstLayoutFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutFrame();
    void firstLayout();
    QRect fittedGeometry() const;
    void storeRect();

    AppContext& m_ctx;
    framework::ui::TitleTabBar* m_tabs;
    MainPanel* m_main;
    QWidget* m_splash = nullptr;
    std::function<void()> m_shutdown;
    bool m_firstLayoutPending = false;
    bool m_firstLayoutDone = false;
    bool m_closed = false;
};

}  // namespace tavora::app

#pragma once
// The floating window of one period: it hosts the period's GraphPanel while the chart is
// detached from the Home page. Closing or minimising it does neither; it asks the Home page
// to dock the chart again. UI thread only.
#include <QWidget>

namespace tavora::chart::ui {

class GraphPanel;

class GraphDialog : public QWidget {
    Q_OBJECT
public:
    GraphDialog(const QString& caption, QWidget* owner);

    // Re-parents the panel into this window and shows it at `geometry` (screen coordinates).
    void hostPanel(GraphPanel* panel, const QRect& geometry);
    // Forgets the panel (the caller re-parents it) and hides the window.
    GraphPanel* releasePanel();
    GraphPanel* panel() const { return m_panel; }

signals:
    void redockRequested(GraphDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    GraphPanel* m_panel = nullptr;
};

}  // namespace tavora::chart::ui

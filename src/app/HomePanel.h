#pragma once
// The Home page: the head with code search and navigation, the drawing-tool column, the
// period tabs with the four chart panels (each can float in its own window: PeriodDock), and
// the web side panel. It lays these out and routes the commands of its head, tool column and
// charts: the current code and its opening belong to CurrentCodeController, the documents to
// DocumentCommands; what it does not carry out goes to the main panel. UI thread only.
#include "annotations/CodeAnnotations.h"
#include "app/CurrentCodeController.h"
#include "app/PeriodDock.h"
#include "app/core/Commands.h"
#include "chart/OpenChart.h"
#include "chart/TodayBar.h"
#include "market/ChartPeriod.h"
#include "market/CodeList.h"

#include <QWidget>

#include <array>
#include <memory>

class QTabBar;

namespace tavora::annotations::ui {
class DocumentCommands;
}
namespace tavora::chart::ui {
class GraphDialog;
class GraphPanel;
} // namespace tavora::chart::ui
namespace tavora::framework {
class ZLog;
}
namespace tavora::annotations {
class AnnotationHistory;
class DocumentHistory;
} // namespace tavora::annotations
namespace tavora::framework::ui {
class StatusBar;
}

namespace tavora::app {

struct AppContext;
class AdContainerPanel;
class CodeSearch;
class CodeSearchPopup;
class HomeHeadAdButtonPanel;
class HomeHeadPanel;
class HomeLeftPanel;
class ReopenWorker;
class TodayQuery;

class HomePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int PeriodTabWidth = PeriodDock::TabWidth;

    HomePanel(AppContext& ctx, framework::ui::StatusBar* status, QWidget* parent);
    ~HomePanel() override;

    // Where opening a code reports what it skipped (splits that cannot apply); none: nowhere.
    void setLog(framework::ZLog* log) { m_current->setLog(log); }

    // The current code: which entry it is, its opening and today's bar.
    CurrentCodeController* currentCode() const { return m_current; }
    // Code navigation over the shown catalogue (first, previous, next, last).
    void navigate(Command which) { m_current->navigate(which); }
    // Reads the code list again and opens its first entry.
    void reloadCodeList() { m_current->reloadCodeList(); }
    // Makes catalogue entry `index` current (storing the previous code's scales) and reopens.
    void changeCurrentCode(std::size_t index) { m_current->changeCurrentCode(index); }
    // Opens the current code on the UI thread (the first layout after start-up).
    void openCurrentCode() { m_current->openCurrentCode(); }
    // Opens the current code on the reopen worker.
    void reopen() { m_current->reopen(); }
    // The same, then shows `statusText` in place of what the opening clears (a job's result).
    void reopenThenShow(const QString& statusText) { m_current->reopenThenShow(statusText); }
    // Writes the four panels' pitch and tick size into the context's scale and stores the
    // current code's row in the in-memory scale table (before the code changes, and at exit).
    void storeCurrentScale() { m_current->storeCurrentScale(); }
    // Searches the catalogue with the search box text.
    void search();
    // Lays out and repaints the four chart panels (Command::RelayoutCharts).
    void relayoutCharts();

    // Gives the keyboard to the selected period's chart.
    void focusChart();
    // The smallest size at which the head and the tool column fit (the web side panel gives
    // way below its width).
    QSize minimumSizeHint() const override;

    // After the first layout: the recent documents shown and the command line's document opened.
    void openStartupDocument();
    annotations::ui::DocumentCommands* documents() const { return m_documents; }

    // The period tabs and the floating charts.
    PeriodDock* periodDock() const { return m_dock; }
    void detachPeriod(market::ChartPeriod period) { m_dock->detach(period); }
    void detachPeriod(market::ChartPeriod period, const QPoint& dropPoint) {
        m_dock->detach(period, dropPoint);
    }
    void redockPeriod(market::ChartPeriod period) { m_dock->redock(period); }
    bool isFloating(market::ChartPeriod period) const { return m_dock->isFloating(period); }
    market::ChartPeriod selectedPeriod() const { return m_dock->selected(); }
    void selectPeriod(market::ChartPeriod period) { m_dock->select(period); }

    chart::ui::GraphPanel* graphPanel(market::ChartPeriod period) const;
    chart::ui::GraphDialog* graphDialog(market::ChartPeriod period) const { return m_dock->dialog(period); }
    HomeHeadPanel* head() const { return m_head; }
    HomeLeftPanel* toolColumn() const { return m_left; }
    AdContainerPanel* adPanel() const { return m_ad; }
    CodeSearchPopup* searchPopup() const { return m_searchPopup; }
    QTabBar* periodTabs() const { return m_dock->tabs(); }
    ReopenWorker* reopenWorker() const { return m_current->reopenWorker(); }
    TodayQuery* todayQuery() const { return m_current->todayQuery(); }
    // The series shown now; null before the first opening.
    const chart::ChartSeries* series() const { return m_current->series(); }

    // Annotations: the current code's elements of the four periods, and the history that
    // records the tools' changes and loads a code's elements (none: nothing is recorded and a
    // code opens without elements).
    annotations::CodeAnnotations& annotationLists() { return m_current->annotationLists(); }
    void setAnnotationHistory(annotations::AnnotationHistory* history) {
        m_current->setAnnotationHistory(history);
    }
    annotations::AnnotationHistory* annotationHistory() const { return m_current->annotationHistory(); }
    // Empties the lists, loads the current code's elements from the history and repaints
    // (after undo, redo, new and open).
    void reloadAnnotations() { m_current->reloadAnnotations(); }

public slots:
    void onCommand(tavora::app::Command command, int param = 0);

signals:
    // Commands this page does not carry out itself go to the main panel (navigation,
    // favourites, refresh and the code-list reload are carried out here).
    void command(tavora::app::Command command, int param);
    // The opened series has been swapped in and painted.
    void chartShown();
    // The memo tool clicked a memo of a period's chart; its editor opens.
    void memoEditRequested(market::ChartPeriod period, annotations::MemoElm* memo);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void makeCharts();
    void connectChart(std::size_t index);
    void connectParts();
    // A key of the chart that the Home page carries out (another code, another period).
    void chartKeyCommand(int action);
    // Undo and redo of the document's steps.
    void stepDocument(bool forward);
    void setTabOrder();
    void updateAdPanel();
    void cycleAdView();
    QRect chartArea() const;
    int adWidth() const;

    AppContext& m_ctx;
    framework::ui::StatusBar* m_status;
    HomeHeadPanel* m_head;
    HomeLeftPanel* m_left;
    AdContainerPanel* m_ad;
    HomeHeadAdButtonPanel* m_adButton;
    PeriodDock* m_dock;
    CodeSearchPopup* m_searchPopup;
    CodeSearch* m_search;
    std::array<chart::ui::GraphPanel*, 4> m_panels{};
    annotations::ui::DocumentCommands* m_documents;
    CurrentCodeController* m_current = nullptr;
    std::unique_ptr<annotations::DocumentHistory> m_documentHistory; // the open document's
};

} // namespace tavora::app

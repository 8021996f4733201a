#pragma once
// The Home page: the head with code search and navigation, the drawing-tool column, the
// period tabs with the four chart panels (each can float in its own window), and the web
// side panel. It changes and (re)opens the current code through the reopen worker, swaps the
// opened series into the panels and lays them out. UI thread only.
#include "annotations/CodeAnnotations.h"
#include "app/core/Commands.h"
#include "chart/OpenChart.h"
#include "chart/TodayBar.h"
#include "market/ChartPeriod.h"
#include "market/CodeList.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

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
}
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
    static constexpr int PeriodTabWidth = 50;

    HomePanel(AppContext& ctx, framework::ui::StatusBar* status, QWidget* parent);
    ~HomePanel() override;

    // Where opening a code reports what it skipped (splits that cannot apply); none: nowhere.
    void setLog(framework::ZLog* log) { m_log = log; }

    // Code navigation over the shown catalogue (537, 266, 265, 538).
    void navigate(Command which);
    // 544: toggles the current code's favourite mark.
    void toggleFavourite();
    // 546: the favourites-only check button changed.
    void favouritesOnlySwitched();
    // 155: reads the code list again and opens its first entry.
    void reloadCodeList();
    // Makes catalogue entry `index` current (storing the previous code's scales) and reopens.
    void changeCurrentCode(std::size_t index);
    // Opens the current code on the UI thread (the first layout after start-up).
    void openCurrentCode();
    // Opens the current code on the reopen worker.
    void reopen();
    // The same, then shows `statusText` in place of what the opening clears (a job's result).
    void reopenThenShow(const QString& statusText);
    // 532: searches the catalogue with the search box text.
    void search();
    // Lays out and repaints the four chart panels (Command::RelayoutCharts).
    void relayoutCharts();
    // Writes the four panels' pitch and tick size into the context's scale and stores the
    // current code's row in the in-memory scale table (before the code changes, and at exit).
    void storeCurrentScale();

    // Gives the keyboard to the selected period's chart.
    void focusChart();
    // The smallest size at which the head and the tool column fit (the web side panel gives
    // way below its width).
    QSize minimumSizeHint() const override;

    // After the first layout: the recent documents shown and the command line's document opened.
    void openStartupDocument();
    annotations::ui::DocumentCommands* documents() const { return m_documents; }

    // Floating charts. A chart leaves at the drop point (screen coordinates), kept inside the
    // screen; without one, at its tab.
    void detachPeriod(market::ChartPeriod period);
    void detachPeriod(market::ChartPeriod period, const QPoint& dropPoint);
    void redockPeriod(market::ChartPeriod period);
    bool isFloating(market::ChartPeriod period) const;
    market::ChartPeriod selectedPeriod() const;
    void selectPeriod(market::ChartPeriod period);

    chart::ui::GraphPanel* graphPanel(market::ChartPeriod period) const;
    chart::ui::GraphDialog* graphDialog(market::ChartPeriod period) const;
    HomeHeadPanel* head() const { return m_head; }
    HomeLeftPanel* toolColumn() const { return m_left; }
    AdContainerPanel* adPanel() const { return m_ad; }
    CodeSearchPopup* searchPopup() const { return m_searchPopup; }
    QTabBar* periodTabs() const { return m_tabs; }
    ReopenWorker* reopenWorker() const { return m_reopen; }
    TodayQuery* todayQuery() const { return m_today; }
    // The series shown now; null before the first opening.
    const chart::ChartSeries* series() const { return m_series.get(); }

    // Annotations: the current code's elements of the four periods, and the history that
    // records the tools' changes and loads a code's elements (none: nothing is recorded and a
    // code opens without elements).
    annotations::CodeAnnotations& annotationLists() { return m_annotations; }
    void setAnnotationHistory(annotations::AnnotationHistory* history) { m_history = history; }
    annotations::AnnotationHistory* annotationHistory() const { return m_history; }
    // Empties the lists, loads the current code's elements from the history and repaints
    // (after undo, redo, new and open).
    void reloadAnnotations();

public slots:
    void onCommand(tavora::app::Command command, int param = 0);

signals:
    // Commands this page does not carry out itself go to the main panel (navigation,
    // favourites, refresh and the code-list reload are carried out here).
    void command(tavora::app::Command command, int param);
    // The opened series has been swapped in and painted.
    void chartShown();
    // 147: the memo tool clicked a memo of a period's chart; its editor opens.
    void memoEditRequested(market::ChartPeriod period, annotations::MemoElm* memo);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    chart::OpenChartInput openInput() const;
    // The head's search box shows the current code's name.
    void showCurrentInHead();
    // A key of the chart that the Home page carries out (another code, another period).
    void chartKeyCommand(int action);
    // Brings a period's chart to the front with the keyboard, docked or floating.
    void showPeriod(market::ChartPeriod period);
    void setTabOrder();
    void showSeries(std::shared_ptr<chart::ChartSeries> series);
    // Today's prices from the companion for the chart shown, merged when still current.
    void askCompanionToday();
    void applyToday(const std::string& code, std::uint64_t generation, const market::TodayPrices& prices);
    void cancelCompanionToday();
    // 539: the companion's price warehouse merged before the chart is reloaded.
    void syncCompanion();
    void setBusy(bool busy);
    void documentReplaced();
    void updateAdPanel();
    void cycleAdView();
    QRect chartArea() const;
    int adWidth() const;
    int tabIndexOf(market::ChartPeriod period) const;
    void showSelectedPanel();

    AppContext& m_ctx;
    framework::ZLog* m_log = nullptr;
    framework::ui::StatusBar* m_status;
    HomeHeadPanel* m_head;
    HomeLeftPanel* m_left;
    AdContainerPanel* m_ad;
    HomeHeadAdButtonPanel* m_adButton;
    QTabBar* m_tabs;
    CodeSearchPopup* m_searchPopup;
    CodeSearch* m_search;
    std::array<chart::ui::GraphPanel*, 4> m_panels{};
    std::array<chart::ui::GraphDialog*, 4> m_dialogs{};
    ReopenWorker* m_reopen;
    annotations::ui::DocumentCommands* m_documents;
    TodayQuery* m_today;
    QString m_afterOpening; // the 更新 merge's failure, shown again once the chart is reopened
    std::shared_ptr<chart::ChartSeries> m_series;
    QPoint m_tabPressPos;
    annotations::CodeAnnotations m_annotations;
    annotations::AnnotationHistory* m_history = nullptr;
    std::optional<market::ChartPeriod> m_draggedOut; // a chart following the pointer until dropped
    std::unique_ptr<annotations::DocumentHistory> m_documentHistory; // the open document's
};

} // namespace tavora::app

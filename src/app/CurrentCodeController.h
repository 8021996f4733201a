#pragma once
// The Home page's current code: which catalogue entry is current (navigation, the favourite
// marks, the code-list reload), opening it on the reopen worker (on the UI thread for the first
// layout) and swapping the opened series and the code's annotations into the four charts, and
// today's bar: today's prices asked from the companion and merged while the chart is still the
// one asked for, and the 更新 merge of the companion's price warehouse. UI thread only.
#include "annotations/CodeAnnotations.h"
#include "app/core/Commands.h"
#include "chart/OpenChart.h"
#include "chart/TodayBar.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace tavora::annotations {
class AnnotationHistory;
}
namespace tavora::chart::ui {
class GraphPanel;
}
namespace tavora::framework {
class ZLog;
}
namespace tavora::framework::ui {
class StatusBar;
}

namespace tavora::app {

struct AppContext;
class CodeSearch;
class HomeHeadPanel;
class ReopenWorker;
class TodayQuery;

class CurrentCodeController : public QObject {
    Q_OBJECT
public:
    // The Home page's widgets it shows the current code in.
    struct Views {
        HomeHeadPanel* head;
        CodeSearch* search;
        framework::ui::StatusBar* status;
        std::array<chart::ui::GraphPanel*, 4> panels;
    };

    CurrentCodeController(AppContext& ctx, Views views, QObject* parent);
    ~CurrentCodeController() override;

    // Where opening a code reports what it skipped (splits that cannot apply); none: nowhere.
    void setLog(framework::ZLog* log) { m_log = log; }

    // Code navigation over the shown catalogue (first, previous, next, last).
    void navigate(Command which);
    // Toggles the current code's favourite mark.
    void toggleFavourite();
    // The favourites-only check button changed.
    void favouritesOnlySwitched();
    // Reads the code list again and opens its first entry.
    void reloadCodeList();
    // Makes catalogue entry `index` current (storing the previous code's scales) and reopens.
    void changeCurrentCode(std::size_t index);
    // A document replaced the favourite marks and the annotations.
    void documentReplaced();

    // Opens the current code on the UI thread (the first layout after start-up).
    void openCurrentCode();
    // Opens the current code on the reopen worker.
    void reopen();
    // The same, then shows `statusText` in place of what the opening clears (a job's result).
    void reopenThenShow(const QString& statusText);
    // 更新: the companion's price warehouse merged, then the chart reopened.
    void refresh();
    // Writes the four panels' pitch and tick size into the context's scale; `scaleStored`
    // then has the current code's row stored (before the code changes, and at exit).
    void storeCurrentScale();
    // The charts and the status bar show that something is being loaded.
    void setBusy(bool busy);

    // The series shown now; null before the first opening.
    const chart::ChartSeries* series() const { return m_series.get(); }
    ReopenWorker* reopenWorker() const { return m_reopen; }
    TodayQuery* todayQuery() const { return m_today; }

    // The current code's elements of the four periods, and the history that records the
    // tools' changes and loads a code's elements (none: nothing is recorded and a code opens
    // without elements).
    annotations::CodeAnnotations& annotationLists() { return m_annotations; }
    void setAnnotationHistory(annotations::AnnotationHistory* history) { m_history = history; }
    annotations::AnnotationHistory* annotationHistory() const { return m_history; }
    // Empties the lists, loads the current code's elements from the history and repaints.
    void reloadAnnotations();

signals:
    // The current code is about to be opened (the web side panel follows it).
    void opening();
    // The opened series has been swapped in and painted.
    void chartShown();
    // The current code's scale is in the context: its row is to be stored.
    void scaleStored();
    // A favourite mark changed (the marks are saved in the document).
    void favouritesEdited();

private:
    bool hasCurrent() const;
    chart::OpenChartInput openInput() const;
    // The head's search box shows the current code's name.
    void showCurrentInHead();
    void showNoCode();
    void showSeries(std::shared_ptr<chart::ChartSeries> series);
    void writeOpeningLog();
    // Today's prices from the companion for the chart shown, merged when still current.
    void askCompanionToday();
    void applyToday(const std::string& code, std::uint64_t generation, const market::TodayPrices& prices);
    void cancelCompanionToday();
    void syncCompanion();

    AppContext& m_ctx;
    Views m_views;
    framework::ZLog* m_log = nullptr;
    ReopenWorker* m_reopen;
    TodayQuery* m_today;
    QString m_afterOpening; // the 更新 merge's failure, shown again once the chart is reopened
    std::shared_ptr<chart::ChartSeries> m_series;
    annotations::CodeAnnotations m_annotations;
    annotations::AnnotationHistory* m_history = nullptr;
};

} // namespace tavora::app

#pragma once
// The period tabs of the Home page and the charts that float in their own windows. The chart
// of the selected tab fills the chart area; a double-click on a tab, or a tab dragged well
// below the bar, puts that period's chart in a window at the drop point (a dragged one follows
// the pointer until the button is released); closing the window docks the chart again, its tab
// back in period order. UI thread only.
#include "market/ChartPeriod.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <array>
#include <functional>
#include <optional>

class QMouseEvent;
class QTabBar;
class QWidget;

namespace tavora::chart::ui {
class GraphDialog;
class GraphPanel;
} // namespace tavora::chart::ui

namespace tavora::app {

class PeriodDock : public QObject {
    Q_OBJECT
public:
    static constexpr int TabWidth = 50;

    // The tab bar is made at once as a child of `home`; `chartArea` is where a docked chart
    // stands in `home`.
    PeriodDock(QWidget* home, std::function<QRect()> chartArea);

    // Takes the four charts (in period order, children of the Home page): one tab and one
    // window each.
    void dock(const std::array<chart::ui::GraphPanel*, 4>& panels);

    QTabBar* tabs() const { return m_tabs; }
    chart::ui::GraphDialog* dialog(market::ChartPeriod period) const;

    // A chart leaves at the drop point (screen coordinates), kept inside the screen; without
    // one, at its tab.
    void detach(market::ChartPeriod period);
    void detach(market::ChartPeriod period, const QPoint& dropPoint);
    void redock(market::ChartPeriod period);
    bool isFloating(market::ChartPeriod period) const;
    market::ChartPeriod selected() const;
    void select(market::ChartPeriod period);
    // Brings a period's chart to the front with the keyboard, docked or floating.
    void showPeriod(market::ChartPeriod period);
    // The selected docked chart fills the chart area and shows; the other docked ones hide.
    void showSelectedPanel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    chart::ui::GraphPanel* panel(market::ChartPeriod period) const;
    int tabIndexOf(market::ChartPeriod period) const;
    std::optional<market::ChartPeriod> periodUnder(const QPoint& pos) const;
    // Where the redocked period's tab goes so that the tabs stay in period order.
    int tabInsertPosition(market::ChartPeriod period) const;
    void insertTab(market::ChartPeriod period);
    // A tab dragged out: the chart leaves, then follows the pointer until dropped.
    bool dragMoved(QMouseEvent* event);

    QWidget* m_home;
    std::function<QRect()> m_chartArea;
    QTabBar* m_tabs;
    std::array<chart::ui::GraphPanel*, 4> m_panels{};
    std::array<chart::ui::GraphDialog*, 4> m_dialogs{};
    QPoint m_tabPressPos;
    std::optional<market::ChartPeriod> m_draggedOut; // a chart following the pointer until dropped
};

} // namespace tavora::app
